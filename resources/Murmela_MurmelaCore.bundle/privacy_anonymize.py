#!/usr/bin/env python3
"""Anonymizes one conversation on the device for Murmela's hybrid mode.

Usage: python3 privacy_anonymize.py INPUT_JSON OUTPUT_JSON

INPUT_JSON (written by Murmela):
    {"participants": {"me": NAME, "them": NAME},
     "messages": [{"index": 1, "sender": NAME, "timestamp": "...", "text": "...",
                   "has_photo": false}, ...],
     "model": PATH_OF_THE_PRIVACY_FILTER_MODEL_FOLDER}

OUTPUT_JSON (written here, read by Murmela):
    {"participants": {"me": PLACEHOLDER, "them": PLACEHOLDER},
     "messages": [the same records with anonymized sender and text],
     "reverseNameMap": {PLACEHOLDER: ORIGINAL, ...},
     "metadata": {"messageCount": N, "nameCount": N, "elapsedSeconds": S}}

The privacy-filter model finds the personal names and other identifying
details (e-mail addresses, phone numbers, street addresses, links, account
numbers, secrets) of every message. Each distinct name or detail gets one
placeholder throughout the conversation ("Person01", "Email01", ...); a name
that is one of the participants' names, or a part of it, gets that
participant's placeholder. Every placeholder of a kind has the same number of
digits, so none is the beginning of another, and each is one plain word that a
language model copies as it is. After the model has looked at a message, every
name found anywhere in the conversation is also replaced wherever else it
occurs as a whole word, so a name the model missed once does not slip through.

While it works the script prints progress lines to standard output, one JSON
object per line:
    {"type": "murmela_privacy_progress", "completed": 120, "total": 800}
It exits with status 0 once the output file is written, and with another status
and a readable message on standard error when it fails.

The detection is the one function make_detector(); everything else is plain
Python. For development, the environment variable MURMELA_PRIVACY_DETECTOR may
name a Python file whose make_detector(model_path) is used instead of the model.
"""

import importlib.util
import json
import os
import re
import sys
import time
import traceback
import unicodedata

PROGRESS_TYPE = "murmela_privacy_progress"
DETECTOR_VARIABLE = "MURMELA_PRIVACY_DETECTOR"

# Messages are given to the detector together, joined by a blank line, in
# windows of about this many characters (a long message goes alone).
WINDOW_CHARACTERS = 1500
WINDOW_SEPARATOR = "\n\n"
# About this many progress lines are printed for a whole conversation.
PROGRESS_STEPS = 200
# Tokens given to the model at once.
MODEL_WINDOW_TOKENS = 512

PERSON = "person"
# Placeholder word per kind of detail; no word is the beginning of another.
PLACEHOLDER_WORDS = {
    PERSON: "Person",
    "email": "Email",
    "phone": "Phone",
    "address": "Address",
    "url": "Link",
    "account": "Account",
    "secret": "Secret",
    "detail": "Detail",
}
# Names that stand for a participant but are ordinary words in a message.
PRONOUN_NAMES = {"you", "me", "i", "myself", "yourself"}
# Shorter surface forms are replaced only where the detector found them.
MIN_SWEEP_LENGTH = 2


class AnonymizationError(Exception):
    """A failure with a message meant for the user."""


# --- detection ---------------------------------------------------------------


def category_of_label(label):
    """The kind of detail a model label names, or None for text to keep."""
    name = str(label).strip()
    for prefix in ("B-", "I-", "E-", "S-", "L-", "U-", "B_", "I_", "E_", "S_"):
        if name.upper().startswith(prefix):
            name = name[len(prefix):]
            break
    lowered = name.lower()
    if lowered in ("", "o", "outside", "none"):
        return None
    if "date" in lowered or "time" in lowered:
        return None  # dates identify no one and the analysis needs them
    checks = (
        (PERSON, ("person", "name", "per")),
        ("email", ("email", "mail")),
        ("phone", ("phone", "tel", "mobile")),
        ("url", ("url", "link", "website", "web")),
        ("address", ("address", "street", "location", "loc", "city", "zip", "postal")),
        ("secret", ("secret", "password", "passwd", "token", "key", "credential")),
        ("account", ("account", "card", "iban", "bank", "ssn", "number", "id", "license", "passport")),
    )
    words_of_label = set(re.split(r"[^a-z]+", lowered))
    for category, words in checks:
        if any(word in words_of_label or (len(word) > 3 and word in lowered) for word in words):
            return category
    return "detail"


def _is_begin_label(label):
    upper = str(label).strip().upper()
    return upper.startswith("B-") or upper.startswith("S-") or upper.startswith("U-") or \
        upper.startswith("B_") or upper.startswith("S_")


def continued_label(text, offsets, position, previous, label):
    """The label of the first token of a model window (at `position`): a name
    cut by the window's edge goes on instead of beginning anew."""
    category = category_of_label(label)
    if category is None or not _is_begin_label(label) or category_of_label(previous) != category:
        return label
    if text[offsets[position - 1][1]:offsets[position][0]].strip():
        return label
    return "I-" + str(label).strip()[2:]


def spans_from_token_labels(text, offsets, labels):
    """Turns per-token labels into character spans (start, end, category).

    Neighbouring tokens of one kind form one span unless the later one begins
    a new entity ("B-"). Spans are trimmed of white space and punctuation at
    their ends."""
    spans = []
    current = None
    for (start, end), label in zip(offsets, labels):
        if end <= start:
            continue
        category = category_of_label(label)
        if category is None:
            current = None
            continue
        if current is not None and current[2] == category and not _is_begin_label(label) \
                and text[current[1]:start].strip() == "":
            current[1] = end
        elif current is not None and current[2] == category and not _is_begin_label(label) \
                and start <= current[1]:
            current[1] = max(current[1], end)
        else:
            current = [start, end, category]
            spans.append(current)
    cleaned = []
    for start, end, category in spans:
        while start < end and (text[start].isspace() or text[start] in "\"'([{<,.;:!?"):
            start += 1
        while end > start and (text[end - 1].isspace() or text[end - 1] in "\"')]}>,.;:!?"):
            end -= 1
        if end > start:
            cleaned.append((start, end, category))
    return cleaned


def _model_labels(model, model_path):
    """The model's label per class index."""
    config = getattr(model, "config", None)
    mapping = None
    if config is not None:
        mapping = getattr(config, "id2label", None)
        if mapping is None and isinstance(config, dict):
            mapping = config.get("id2label")
    if not mapping:
        config_path = os.path.join(model_path, "config.json")
        try:
            with open(config_path, encoding="utf-8") as handle:
                mapping = json.load(handle).get("id2label")
        except (OSError, ValueError):
            mapping = None
    if not mapping:
        raise AnonymizationError("the privacy model at %s names no labels (id2label)" % model_path)
    return {int(key): value for key, value in dict(mapping).items()}


def _logits_of(output):
    for name in ("logits", "scores", "token_logits"):
        value = getattr(output, name, None)
        if value is not None:
            return value
    if isinstance(output, dict):
        for name in ("logits", "scores"):
            if output.get(name) is not None:
                return output[name]
    if isinstance(output, (tuple, list)) and output:
        return output[0]
    return output


def make_model_detector(model_path):
    """The privacy-filter model of the runtime, through the MLX embeddings package."""
    try:
        import mlx.core as mx
        from mlx_embeddings import load
    except ImportError as error:
        raise AnonymizationError("the privacy runtime lacks its MLX packages (%s)" % error)
    print("privacy_anonymize: loading privacy model from %s" % model_path, file=sys.stderr, flush=True)
    model, tokenizer = load(model_path)
    labels = _model_labels(model, model_path)
    encoder = getattr(tokenizer, "_tokenizer", tokenizer)

    def with_special_tokens(ids):
        build = getattr(encoder, "build_inputs_with_special_tokens", None)
        if build is None:
            return list(ids), [0] * len(ids)
        built = list(build(list(ids)))
        mask = encoder.get_special_tokens_mask(built, already_has_special_tokens=True)
        return built, list(mask)

    def detect(text):
        encoding = encoder(text, add_special_tokens=False, return_offsets_mapping=True)
        ids = list(encoding["input_ids"])
        offsets = [tuple(pair) for pair in encoding["offset_mapping"]]
        token_labels = []
        for first in range(0, len(ids), MODEL_WINDOW_TOKENS):
            window, special = with_special_tokens(ids[first:first + MODEL_WINDOW_TOKENS])
            output = model(mx.array([window]), attention_mask=mx.ones((1, len(window)), dtype=mx.int32))
            logits = _logits_of(output)
            if getattr(logits, "ndim", 0) != 3:
                raise AnonymizationError("the privacy model gave no labels per token")
            predicted = mx.argmax(logits, axis=-1)[0].tolist()
            window_labels = [labels.get(int(index), "O")
                             for index, is_special in zip(predicted, special) if not is_special]
            if token_labels and window_labels:
                window_labels[0] = continued_label(text, offsets, len(token_labels), token_labels[-1],
                                                   window_labels[0])
            token_labels.extend(window_labels)
        if len(token_labels) != len(ids):
            raise AnonymizationError("the privacy model's labels do not match its tokens")
        return spans_from_token_labels(text, offsets, token_labels)

    return detect


def make_detector(model_path):
    """The one detection function: text -> [(start, end, category), ...]."""
    replacement = os.environ.get(DETECTOR_VARIABLE)
    if replacement:
        sys.dont_write_bytecode = True
        spec = importlib.util.spec_from_file_location("murmela_privacy_detector", replacement)
        if spec is None or spec.loader is None:
            raise AnonymizationError("cannot load the detector %s" % replacement)
        module = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(module)
        return module.make_detector(model_path)
    return make_model_detector(model_path)


# --- the conversation ----------------------------------------------------------


def name_key(text):
    """The key under which two spellings of one name meet."""
    return " ".join(unicodedata.normalize("NFC", text).casefold().split())


def strip_possessive(text):
    for ending in ("'s", "\u2019s", "'", "\u2019"):
        if len(text) > len(ending) + 1 and text.endswith(ending):
            return text[:-len(ending)]
    return text


class Registry:
    """One placeholder per distinct name or detail, in order of first sight."""

    def __init__(self, me, them):
        self.entries = []           # (category, original)
        self.by_key = {}            # (category, key) -> entry number
        self.forms = set()          # surface forms to look for everywhere
        self.me = self._add(PERSON, me)
        self.them = self._add(PERSON, them)
        # A name part of one participant ("Sam" of "Sam Carter") stands for
        # that participant; a part both share (a family name) for neither.
        parts = {}
        for number, name in ((self.me, me), (self.them, them)):
            key = name_key(name)
            if key and key not in PRONOUN_NAMES:
                self.by_key.setdefault((PERSON, key), number)
                self._remember(name)
                for part in re.split(r"[\s,]+", name.strip()):
                    part_key = name_key(part)
                    if len(part_key) >= MIN_SWEEP_LENGTH and part_key not in PRONOUN_NAMES:
                        parts.setdefault(part_key, set()).add(number)
                        self._remember(part)
        self.name_parts = {key: numbers.pop() for key, numbers in parts.items() if len(numbers) == 1}
        for key in parts:
            if key not in self.name_parts:
                self.forms = {form for form in self.forms if name_key(form) != key}

    def _add(self, category, original):
        self.entries.append((category, original))
        return len(self.entries) - 1

    def _remember(self, surface):
        key = name_key(surface)
        if len(key) >= MIN_SWEEP_LENGTH and key not in PRONOUN_NAMES:
            self.forms.add(" ".join(surface.split()))

    def number_for(self, category, surface):
        """The entry of a detected name or detail, made on first sight."""
        key = name_key(surface)
        if not key or (category == PERSON and key in PRONOUN_NAMES):
            return None
        number = self.by_key.get((category, key))
        if number is None and category == PERSON:
            number = self.name_parts.get(key)
        if number is None:
            number = self._add(category, " ".join(surface.split()))
            self.by_key[(category, key)] = number
        self._remember(surface)
        return number

    def sender_number(self, sender, participants):
        if sender == participants["me"]:
            return self.me
        if sender == participants["them"]:
            return self.them
        number = self.number_for(PERSON, sender)
        return self.them if number is None else number

    def placeholders(self):
        """Entry number -> placeholder, with as many digits for every entry of a kind."""
        counts = {}
        for category, _ in self.entries:
            counts[category] = counts.get(category, 0) + 1
        widths = {category: max(2, len(str(count))) for category, count in counts.items()}
        seen = {}
        result = []
        for category, _ in self.entries:
            seen[category] = seen.get(category, 0) + 1
            result.append("%s%0*d" % (PLACEHOLDER_WORDS[category], widths[category], seen[category]))
        return result

    def number_of_match(self, matched, lookup):
        """The entry of a text that the sweep pattern matched."""
        number = lookup.get(name_key(matched))
        if number is None:  # case folding and the pattern's case rules can differ
            for form in self.forms:
                if re.fullmatch(r"\s+".join(re.escape(piece) for piece in form.split()), matched, re.IGNORECASE):
                    return lookup.get(name_key(form))
        return number

    def sweep(self):
        """A pattern for every known surface form (longest first, whole words)
        and the entry number per key."""
        lookup = dict(self.name_parts)
        for (category, key), number in self.by_key.items():
            if category == PERSON or key not in lookup:
                lookup[key] = number
        if not self.forms:
            return None, lookup
        ordered = sorted(self.forms, key=lambda form: (-len(form), form))
        alternatives = "|".join(r"\s+".join(re.escape(piece) for piece in form.split()) for form in ordered)
        return re.compile(r"(?<!\w)(?:%s)(?!\w)" % alternatives, re.IGNORECASE), lookup


def windows(texts, limit=WINDOW_CHARACTERS):
    """Groups message positions into windows of about `limit` characters."""
    group, size = [], 0
    for position, text in enumerate(texts):
        added = len(text) + (len(WINDOW_SEPARATOR) if group else 0)
        if group and size + added > limit:
            yield group
            group, size = [], 0
            added = len(text)
        group.append(position)
        size += added
    if group:
        yield group


def detect_all(texts, detect, report):
    """Detected spans per message; report(completed) after each window."""
    found = [[] for _ in texts]
    completed = 0
    for group in windows(texts):
        joined = WINDOW_SEPARATOR.join(texts[position] for position in group)
        starts, offset = [], 0
        for position in group:
            starts.append(offset)
            offset += len(texts[position]) + len(WINDOW_SEPARATOR)
        for start, end, category in detect(joined) if joined else ():
            if category not in PLACEHOLDER_WORDS or not 0 <= start < end <= len(joined):
                continue
            for position, first in zip(group, starts):
                last = first + len(texts[position])
                if start < last and end > first:
                    found[position].append((max(start, first) - first, min(end, last) - first, category))
        completed += len(group)
        report(completed)
    return found


def replace_spans(text, replacements):
    """`text` with each (start, end, placeholder) replaced; overlaps keep the first."""
    pieces, position = [], 0
    for start, end, placeholder in sorted(replacements):
        if start < position:
            continue
        pieces.append(text[position:start])
        pieces.append(placeholder)
        position = end
    pieces.append(text[position:])
    return "".join(pieces)


class ProgressPrinter:
    def __init__(self, total, stream):
        self.total = total
        self.stream = stream
        self.step = max(1, total // PROGRESS_STEPS)
        self.last = None

    def __call__(self, completed, force=False):
        if not force and self.last is not None and completed - self.last < self.step and completed != self.total:
            return
        if completed == self.last:
            return
        self.last = completed
        self.stream.write(json.dumps({"type": PROGRESS_TYPE, "completed": completed, "total": self.total}) + "\n")
        self.stream.flush()


def read_input(path):
    try:
        with open(path, encoding="utf-8") as handle:
            document = json.load(handle)
    except OSError as error:
        raise AnonymizationError("cannot read %s: %s" % (path, error.strerror or error))
    except ValueError as error:
        raise AnonymizationError("%s is not valid JSON: %s" % (path, error))
    if not isinstance(document, dict):
        raise AnonymizationError("%s does not hold a JSON object" % path)
    participants = document.get("participants")
    if not isinstance(participants, dict) or not all(isinstance(participants.get(k), str) for k in ("me", "them")):
        raise AnonymizationError("%s lacks the participants' names" % path)
    messages = document.get("messages")
    if not isinstance(messages, list):
        raise AnonymizationError("%s lacks its messages" % path)
    fields = (("index", int), ("sender", str), ("timestamp", str), ("text", str), ("has_photo", bool))
    for number, message in enumerate(messages, 1):
        if not isinstance(message, dict):
            raise AnonymizationError("message %d of %s is not an object" % (number, path))
        for field, kind in fields:
            value = message.get(field)
            if not isinstance(value, kind) or (kind is int and isinstance(value, bool)):
                raise AnonymizationError("message %d of %s lacks a valid \"%s\"" % (number, path, field))
    model = document.get("model")
    if not isinstance(model, str):
        raise AnonymizationError("%s does not name the model folder" % path)
    return participants, messages, model


def anonymize(document_participants, messages, detect, report):
    """The output document (without metadata) and the number of names in it."""
    registry = Registry(document_participants["me"], document_participants["them"])
    texts = [message["text"] for message in messages]
    found = detect_all(texts, detect, report)

    detected = []
    for text, spans in zip(texts, found):
        numbered = []
        for start, end, category in spans:
            if category == PERSON:  # "Sam's" is Sam, and keeps its "'s"
                end = start + len(strip_possessive(text[start:end]))
            number = registry.number_for(category, text[start:end])
            if number is not None:
                numbered.append((start, end, number))
        detected.append(numbered)

    senders = [registry.sender_number(message["sender"], document_participants) for message in messages]
    placeholders = registry.placeholders()
    pattern, lookup = registry.sweep()

    out_messages = []
    for message, text, numbered, sender in zip(messages, texts, detected, senders):
        replacements = [(start, end, placeholders[number]) for start, end, number in numbered]
        if pattern is not None:
            for match in pattern.finditer(text):
                if any(match.start() < end and match.end() > start for start, end, _ in numbered):
                    continue
                number = registry.number_of_match(match.group(0), lookup)
                if number is not None:
                    replacements.append((match.start(), match.end(), placeholders[number]))
        out_messages.append({
            "index": message["index"],
            "sender": placeholders[sender],
            "timestamp": message["timestamp"],
            "text": replace_spans(text, replacements),
            "has_photo": message["has_photo"],
        })

    reverse = {placeholders[number]: original for number, (_, original) in enumerate(registry.entries)}
    names = sum(1 for category, _ in registry.entries if category == PERSON)
    document = {
        "participants": {"me": placeholders[registry.me], "them": placeholders[registry.them]},
        "messages": out_messages,
        "reverseNameMap": reverse,
    }
    return document, names


def write_output(path, document):
    staging = path + ".partial"
    try:
        with open(staging, "w", encoding="utf-8") as handle:
            json.dump(document, handle, ensure_ascii=False)
        os.replace(staging, path)
    except OSError as error:
        raise AnonymizationError("cannot write %s: %s" % (path, error.strerror or error))


def run(arguments, stdout=sys.stdout):
    if len(arguments) != 2:
        raise AnonymizationError("usage: privacy_anonymize.py INPUT_JSON OUTPUT_JSON")
    input_path, output_path = arguments
    started = time.monotonic()
    participants, messages, model = read_input(input_path)
    report = ProgressPrinter(len(messages), stdout)
    report(0, force=True)
    detect = make_detector(model)
    document, names = anonymize(participants, messages, detect, report)
    report(len(messages), force=True)
    document["metadata"] = {
        "messageCount": len(messages),
        "nameCount": names,
        "elapsedSeconds": round(time.monotonic() - started, 3),
    }
    write_output(output_path, document)


def main(argv=None):
    arguments = sys.argv[1:] if argv is None else argv
    try:
        run(arguments)
    except AnonymizationError as error:
        print("privacy_anonymize: %s" % error, file=sys.stderr, flush=True)
        return 2
    except Exception as error:  # anything unforeseen: a one-line reason, then the details
        print("privacy_anonymize: anonymization failed: %s: %s" % (type(error).__name__, error),
              file=sys.stderr, flush=True)
        traceback.print_exc(file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
