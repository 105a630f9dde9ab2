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
        self.assertEqual(self.run_check().returncode, 0)  # the tree as it is
        common = sorted(n for n in os.listdir(os.path.join(self.src, "ui/screens/common")) if n.endswith(".h"))[0]
        cases = [  # what is planted where, and the finding (none: it passes)
            ("ui/kit/controls", "#include <screens/home/HomeView.h>", "ui/kit/controls includes screens/home/HomeView.h"),
            ("ui/kit/controls", '#include "screens/home/HomeView.h"', "ui/kit/controls includes screens/home/HomeView.h"),
            ("ui/kit/widgets", '#include "kit/access/PaintedReader.h"', "ui/kit/widgets includes kit/access"),
            ("ui/kit/controls", '#include "kit/widgets/ButtonHost.h"', "ui/kit/controls includes kit/widgets"),
            ("ui/kit/access", '#include "kit/widgets/ButtonHost.h"', None),
            ("ui/screens/picker", '#include "screens/home/HomeHost.h"', "screen picker includes screens/home"),
            ("ui/screens/picker", "#include <screens/welcome/WelcomeView.h>", "screen picker includes screens/welcome"),
            ("ui/screens/picker", '#include "screens/picker/PickerHost.h"', None),
            ("ui/screens/home", f"#include <screens/common/{common}>", None),
        ]
        for folder, include, said in cases:
            with self.subTest(include=include, folder=folder):
                self.tearDown()
                self.setUp()
                where = self.plant(folder, include)
                result = self.run_check()
                findings = [line for line in result.stdout.splitlines() if line.startswith("src/")]
                self.assertEqual((result.returncode, len(findings)), (1, 1) if said else (0, 0), result.stdout)
                if said:
                    self.assertTrue(findings[0].startswith(where) and said in findings[0], findings[0])


if __name__ == "__main__":
    unittest.main()
