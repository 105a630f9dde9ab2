"""The layer check finds the include edges it is there to refuse, with file and line."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECK = os.path.join(ROOT, "Scripts", "check-layers")


def first_source(folder):
    return sorted(name for name in os.listdir(folder) if name.endswith(".cpp"))[0]


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp()
        self.src = os.path.join(self.scratch, "src")
        shutil.copytree(os.path.join(ROOT, "src"), self.src)

    def tearDown(self):
        shutil.rmtree(self.scratch)

    def run_check(self):
        return subprocess.run([sys.executable, CHECK, "--src", self.src], capture_output=True, text=True)

    def plant(self, folder, include):
        name = first_source(os.path.join(self.src, folder))
        path = os.path.join(self.src, folder, name)
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        lines.insert(1, include)
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
        return f"src/{folder}/{name}:2:"

    def test_planted_edges(self):
        clean = self.run_check()
        self.assertEqual(clean.returncode, 0, clean.stdout)
        cases = [
            ("ui/kit/controls", "#include <screens/home/HomeView.h>", "ui/kit includes screens/home/HomeView.h"),
            ("ui/kit/controls", '#include "screens/home/HomeView.h"', "ui/kit includes screens/home/HomeView.h"),
            ("ui/screens/picker", '#include "screens/home/HomeHost.h"', "screen picker includes screens/home"),
            ("ui/screens/picker", "#include <screens/welcome/WelcomeView.h>", "screen picker includes screens/welcome"),
        ]
        for folder, include, said in cases:
            with self.subTest(include=include, folder=folder):
                self.tearDown()
                self.setUp()
                where = self.plant(folder, include)
                result = self.run_check()
                self.assertEqual(result.returncode, 1, result.stdout)
                findings = [line for line in result.stdout.splitlines() if line.startswith("src/")]
                self.assertEqual(len(findings), 1, result.stdout)
                self.assertTrue(findings[0].startswith(where), findings[0])
                self.assertIn(said, findings[0])

    def test_shared_screen_folder_and_own_folder_pass(self):
        self.plant("ui/screens/picker", '#include "screens/picker/PickerHost.h"')
        common = sorted(n for n in os.listdir(os.path.join(self.src, "ui/screens/common")) if n.endswith(".h"))[0]
        self.plant("ui/screens/home", f"#include <screens/common/{common}>")
        result = self.run_check()
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
