"""A stand-in for the privacy-filter model in tests of privacy_anonymize.py.

Selected with MURMELA_PRIVACY_DETECTOR=<this file>. It finds the names of a
fixed list as whole words, e-mail addresses and phone numbers, and insists on
being given an existing model folder, as the real detector does.
"""

import os
import re

NAMES = ("Alexandra", "Sam", "Jordan", "Priya", "Carter", "Sam Carter", "Mia", "Noah")
NAME_PATTERN = re.compile(r"\b(?:%s)\b" % "|".join(sorted((re.escape(n) for n in NAMES), key=len, reverse=True)))
EMAIL_PATTERN = re.compile(r"[\w.+-]+@[\w-]+(?:\.[\w-]+)+")
PHONE_PATTERN = re.compile(r"\+?\d[\d -]{7,}\d")

# The texts the detector was asked about, in order (for tests that import it).
calls = []


def make_detector(model_path):
    if not os.path.isdir(model_path):
        raise RuntimeError("no model folder at %s" % model_path)

    def detect(text):
        calls.append(text)
        spans = [(m.start(), m.end(), "person") for m in NAME_PATTERN.finditer(text)]
        spans += [(m.start(), m.end(), "email") for m in EMAIL_PATTERN.finditer(text)]
        spans += [(m.start(), m.end(), "phone") for m in PHONE_PATTERN.finditer(text)]
        return sorted(spans)

    return detect
