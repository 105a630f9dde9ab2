"""Tests of the anonymization script on its own, with the stub detector."""

import importlib.util
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.environ.get("MURMELA_PRIVACY_SCRIPT") or os.path.join(
    HERE, "..", "..", "resources", "Murmela_MurmelaCore.bundle", "privacy_anonymize.py")
STUB = os.path.join(HERE, "stub_detector.py")
FAKE_MLX = os.path.join(HERE, "fake_mlx")
LABELS = {"0": "O", "1": "B-private_person", "2": "I-private_person", "3": "B-private_email", "4": "B-private_date"}


def load_script():
    spec = importlib.util.spec_from_file_location("privacy_anonymize", SCRIPT)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


script = load_script()


def message(index, sender, text, has_photo=False):
    return {"index": index, "sender": sender, "timestamp": "2024-03-05T14:22:%02dZ" % index, "text": text,
            "has_photo": has_photo}


def whole_word(name, text):
    return re.search(r"(?<!\w)%s(?!\w)" % re.escape(name), text, re.IGNORECASE) is not None


class ScriptRun(unittest.TestCase):
    """The script as Murmela runs it: a child process with the input and output paths."""

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.model = os.path.join(self.folder.name, "model")
        os.mkdir(self.model)
        self.input = os.path.join(self.folder.name, "input.json")
        self.output = os.path.join(self.folder.name, "output.json")

    def tearDown(self):
        self.folder.cleanup()

    def run_script(self, participants, messages, detector=STUB, document=None):
        with open(self.input, "w", encoding="utf-8") as handle:
            json.dump(document if document is not None else
                      {"participants": participants, "messages": messages, "model": self.model}, handle)
        environment = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
        environment.pop("MURMELA_PRIVACY_DETECTOR", None)
        if detector:
            environment["MURMELA_PRIVACY_DETECTOR"] = detector
        return subprocess.run([sys.executable, SCRIPT, self.input, self.output], env=environment,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=60)

    def read_output(self):
        with open(self.output, encoding="utf-8") as handle:
            return json.load(handle)

    def test_placeholders_are_consistent_across_messages(self):
        result = self.run_script({"me": "You", "them": "Mia"}, [
            message(1, "Mia", "Jordan and Alexandra are coming"),
            message(2, "You", "Is JORDAN bringing alexandra's cake?"),
            message(3, "Mia", "Ask Jordan yourself"),
        ])
        self.assertEqual(result.returncode, 0, result.stderr)
        output = self.read_output()
        texts = [m["text"] for m in output["messages"]]
        reverse = output["reverseNameMap"]
        by_name = {name: placeholder for placeholder, name in reverse.items()}
        jordan, alexandra = by_name["Jordan"], by_name["Alexandra"]
        self.assertNotEqual(jordan, alexandra)
        self.assertEqual(texts[0], "%s and %s are coming" % (jordan, alexandra))
        self.assertEqual(texts[1], "Is %s bringing %s's cake?" % (jordan, alexandra))
        self.assertEqual(texts[2], "Ask %s yourself" % jordan)

    def test_participants_are_mapped_and_no_name_is_left(self):
        result = self.run_script({"me": "Priya", "them": "Sam Carter"}, [
            message(1, "Sam Carter", "Hi Priya! It's Sam. Mail sam.c@example.com"),
            message(2, "Priya", "Hey Sam, Noah says hi. Call +1 555 123 4567", True),
            message(3, "Sam Carter", "sam carter here, tell noah thanks"),
        ])
        self.assertEqual(result.returncode, 0, result.stderr)
        output = self.read_output()
        me, them = output["participants"]["me"], output["participants"]["them"]
        self.assertNotEqual(me, them)
        self.assertEqual(output["reverseNameMap"][me], "Priya")
        self.assertEqual(output["reverseNameMap"][them], "Sam Carter")
        self.assertEqual([m["sender"] for m in output["messages"]], [them, me, them])
        self.assertEqual([m["index"] for m in output["messages"]], [1, 2, 3])
        self.assertEqual([m["has_photo"] for m in output["messages"]], [False, True, False])
        self.assertEqual([m["timestamp"] for m in output["messages"]],
                         ["2024-03-05T14:22:01Z", "2024-03-05T14:22:02Z", "2024-03-05T14:22:03Z"])
        # "Sam" alone is the other participant, not a third person.
        self.assertEqual(output["messages"][0]["text"].split(".")[0], "Hi %s! It's %s" % (me, them))
        everything = json.dumps([output["messages"], output["participants"]])
        for secret in ("Priya", "Sam", "Carter", "Noah", "sam.c@example.com", "555 123 4567"):
            self.assertFalse(whole_word(secret, everything), secret)
        self.assertEqual(output["metadata"]["messageCount"], 3)
        self.assertEqual(output["metadata"]["nameCount"], 3)  # Priya, Sam Carter, Noah
        self.assertIsInstance(output["metadata"]["elapsedSeconds"], float)

    def test_progress_lines_are_valid_json_in_order(self):
        messages = [message(i, "Mia" if i % 2 else "You", "Message %d for Jordan " % i + "x" * 400)
                    for i in range(1, 41)]
        result = self.run_script({"me": "You", "them": "Mia"}, messages)
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = [line for line in result.stdout.split("\n") if line]
        self.assertTrue(result.stdout.endswith("\n"))
        updates = [json.loads(line) for line in lines]
        self.assertGreater(len(updates), 2)
        for update in updates:
            self.assertEqual(update["type"], "murmela_privacy_progress")
            self.assertIs(type(update["completed"]), int)
            self.assertEqual(update["total"], 40)
        completed = [update["completed"] for update in updates]
        self.assertEqual(completed[0], 0)
        self.assertEqual(completed[-1], 40)
        self.assertEqual(completed, sorted(set(completed)))

    def test_an_empty_conversation(self):
        result = self.run_script({"me": "You", "them": "Mia"}, [])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([json.loads(line) for line in result.stdout.split("\n") if line],
                         [{"type": "murmela_privacy_progress", "completed": 0, "total": 0}])
        output = self.read_output()
        self.assertEqual(output["messages"], [])
        self.assertEqual(sorted(output["reverseNameMap"].values()), ["Mia", "You"])

    def test_failures_exit_non_zero_with_a_readable_message(self):
        cases = [
            ("input is not JSON", None, "not valid JSON"),
            ("message lacks has_photo", {"participants": {"me": "You", "them": "Mia"},
                                         "messages": [{"index": 1, "sender": "Mia", "timestamp": "t", "text": "x"}],
                                         "model": self.model}, "has_photo"),
            ("model folder missing", {"participants": {"me": "You", "them": "Mia"}, "messages": [],
                                      "model": os.path.join(self.folder.name, "absent")}, "no model folder"),
        ]
        for name, document, expected in cases:
            with self.subTest(name):
                if document is None:
                    with open(self.input, "w") as handle:
                        handle.write("{not json")
                    environment = dict(os.environ, MURMELA_PRIVACY_DETECTOR=STUB, PYTHONDONTWRITEBYTECODE="1")
                    result = subprocess.run([sys.executable, SCRIPT, self.input, self.output], env=environment,
                                            capture_output=True, text=True, timeout=60)
                else:
                    result = self.run_script(None, None, document=document)
                self.assertNotEqual(result.returncode, 0)
                self.assertTrue(result.stderr.startswith("privacy_anonymize: "), result.stderr)
                self.assertIn(expected, result.stderr)
                self.assertFalse(os.path.exists(self.output))

    def test_the_model_is_the_default_detector(self):
        # Without the development hook the script goes to the runtime's MLX
        # packages, which this machine does not have.
        try:
            import mlx  # noqa: F401
            self.skipTest("MLX is installed here")
        except ImportError:
            pass
        result = self.run_script({"me": "You", "them": "Mia"}, [message(1, "Mia", "hi")], detector=None)
        self.assertEqual(result.returncode, 2)
        self.assertIn("privacy_anonymize: the privacy runtime lacks its MLX packages", result.stderr)


class ModelDetector(unittest.TestCase):
    """The model-backed detector, driven through stand-ins for the MLX packages."""

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        with open(os.path.join(self.folder.name, "config.json"), "w") as handle:
            json.dump({"id2label": LABELS}, handle)
        sys.path.insert(0, FAKE_MLX)
        self.window = script.MODEL_WINDOW_TOKENS

    def tearDown(self):
        script.MODEL_WINDOW_TOKENS = self.window
        sys.path.remove(FAKE_MLX)
        for name in ("mlx", "mlx.core", "mlx_embeddings"):
            sys.modules.pop(name, None)
        self.folder.cleanup()

    def test_token_labels_become_spans_in_every_window(self):
        text = "Ask Sam Carter, then mail alexandra@x.io. Alexandra agrees."
        expected = [(4, 14, "person"), (26, 40, "email"), (42, 51, "person")]
        self.assertEqual(script.make_model_detector(self.folder.name)(text), expected)

        import mlx_embeddings
        mlx_embeddings.calls.clear()
        # Two words per call: "Sam" ends one window and "Carter," begins the
        # next, where the model sees a new name; it is still one name.
        script.MODEL_WINDOW_TOKENS = 2
        self.assertEqual(script.make_model_detector(self.folder.name)(text), expected)
        self.assertEqual([len(call) for call in mlx_embeddings.calls], [4, 4, 4, 4])
        self.assertTrue(all(call[0] == 1 and call[-1] == 2 for call in mlx_embeddings.calls))

    def test_a_model_without_labels_is_refused(self):
        with open(os.path.join(self.folder.name, "config.json"), "w") as handle:
            json.dump({}, handle)
        with self.assertRaises(script.AnonymizationError):
            script.make_model_detector(self.folder.name)

    def test_the_whole_script_with_the_model(self):
        folder = self.folder.name
        document = {"participants": {"me": "You", "them": "Sam Carter"}, "model": folder,
                    "messages": [message(1, "Sam Carter", "Alexandra wrote to sam@x.io"),
                                 message(2, "You", "Tell Alexandra hi")]}
        with open(os.path.join(folder, "input.json"), "w") as handle:
            json.dump(document, handle)
        environment = dict(os.environ, PYTHONPATH=FAKE_MLX, PYTHONDONTWRITEBYTECODE="1")
        environment.pop("MURMELA_PRIVACY_DETECTOR", None)
        result = subprocess.run([sys.executable, SCRIPT, os.path.join(folder, "input.json"),
                                 os.path.join(folder, "output.json")], env=environment, capture_output=True,
                                text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("loading privacy model from " + folder, result.stderr)
        with open(os.path.join(folder, "output.json")) as handle:
            output = json.load(handle)
        self.assertEqual([m["text"] for m in output["messages"]],
                         ["Person03 wrote to Email01", "Tell Person03 hi"])
        self.assertEqual(output["reverseNameMap"],
                         {"Person01": "You", "Person02": "Sam Carter", "Person03": "Alexandra",
                          "Email01": "sam@x.io"})


class Pieces(unittest.TestCase):
    """The plain-Python parts, in process."""

    def anonymize(self, participants, texts, detect):
        messages = [message(i + 1, participants["them"], text) for i, text in enumerate(texts)]
        return script.anonymize(participants, messages, detect, lambda completed: None)

    def test_placeholders_are_never_prefixes_of_one_another(self):
        names = ["Name%s" % chr(ord("A") + i // 26) + chr(ord("a") + i % 26) for i in range(120)]
        texts = ["%s met %s" % (names[i], names[(i + 1) % 120]) for i in range(120)]

        def detect(text):
            return [(m.start(), m.end(), "person") for m in re.finditer(r"Name\w+", text)]

        document, names_found = self.anonymize({"me": "You", "them": "Mia"}, texts, detect)
        placeholders = list(document["reverseNameMap"])
        self.assertEqual(names_found, 122)
        self.assertEqual(len(set(placeholders)), 122)
        for a in placeholders:
            self.assertRegex(a, r"^[A-Z][a-z]+\d+$")  # one plain word
            for b in placeholders:
                if a != b:
                    self.assertFalse(b.startswith(a), (a, b))

    def test_spans_found_in_a_shared_window_go_back_to_their_messages(self):
        texts = ["first line", "second with Jordan", "", "Jordan again"]
        seen = []

        def detect(text):
            seen.append(text)
            return [(m.start(), m.end(), "person") for m in re.finditer("Jordan", text)]

        document, _ = self.anonymize({"me": "You", "them": "Mia"}, texts, detect)
        self.assertEqual(len(seen), 1)  # one window for all four
        placeholder = next(p for p, n in document["reverseNameMap"].items() if n == "Jordan")
        self.assertEqual([m["text"] for m in document["messages"]],
                         ["first line", "second with " + placeholder, "", placeholder + " again"])

    def test_a_name_the_detector_missed_once_is_replaced_too(self):
        def detect(text):
            return [(m.start(), m.end(), "person") for m in re.finditer("Alexandra(?= said)", text)]

        document, _ = self.anonymize({"me": "You", "them": "Mia"}, ["Alexandra said hi", "bye alexandra!"], detect)
        self.assertTrue(all("lexandra" not in m["text"] for m in document["messages"]))

    def test_token_labels_become_spans(self):
        text = "Call Sam Carter at sam@x.io on Monday"
        offsets = [(0, 4), (5, 8), (9, 15), (16, 18), (19, 22), (22, 23), (23, 27), (28, 30), (31, 37), (0, 0)]
        labels = ["O", "B-private_person", "I-private_person", "O", "B-private_email", "I-private_email",
                  "I-private_email", "O", "B-private_date", "B-private_person"]
        self.assertEqual(script.spans_from_token_labels(text, offsets, labels),
                         [(5, 15, "person"), (19, 27, "email")])

    def test_label_names(self):
        cases = {"O": None, "B-PER": "person", "I-private_person": "person", "private_email": "email",
                 "S-phone_number": "phone", "B-LOC": "address", "private_address": "address",
                 "private_url": "url", "account_number": "account", "secret": "secret", "B-DATE": None,
                 "private_date": None, "misc": "detail"}
        for label, category in cases.items():
            self.assertEqual(script.category_of_label(label), category, label)


if __name__ == "__main__":
    unittest.main()
