"""`cmake --install` of a built tree, staged under DESTDIR in a temporary folder:
the program and its resource bundle, the desktop entry (checked with
desktop-file-validate) and the application icon at each hicolor size. The
installed program is then started under a private X server to see that the
window's class is the one the desktop entry names."""

import configparser
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest
import zlib

BUILD = os.environ["MURMELA_TEST_BINARY_DIR"]
SOURCE = os.environ["MURMELA_TEST_SOURCE_DIR"]
CMAKE = os.environ.get("MURMELA_CMAKE", "cmake")
PREFIX = "/opt/murmela-test"  # outside PATH: the entry must name the program by its path
ICON_SIZES = [16, 24, 32, 48, 64, 128, 256, 512]
BUNDLE = "Murmela_MurmelaCore.bundle"


def read_png(path):
    """Width, height and rows of RGBA pixels of an 8-bit RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG")
    pos, header, idat = 8, None, b""
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError(f"{path}: depth {depth}, colour type {colour}, interlace {interlace}; want 8-bit RGBA")
    raw, stride, rows, previous = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, corner = previous[i], previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, rows


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.stage = tempfile.mkdtemp(prefix="murmela-install-")
        cls.root = cls.stage + PREFIX
        result = subprocess.run([CMAKE, "--install", BUILD, "--prefix", PREFIX],
                                env=dict(os.environ, DESTDIR=cls.stage), capture_output=True, text=True)
        if result.returncode != 0:
            raise AssertionError("cmake --install failed:\n" + result.stdout + result.stderr)
        cls.entry_path = os.path.join(cls.root, "share/applications/murmela.desktop")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.stage, ignore_errors=True)

    def entry(self):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(self.entry_path, encoding="utf-8")
        return parser["Desktop Entry"]

    def test_program_and_resource_bundle(self):
        program = os.path.join(self.root, "bin/murmela")
        self.assertTrue(os.access(program, os.X_OK), program)
        source = os.path.join(SOURCE, "resources", BUNDLE)
        installed = os.path.join(self.root, "share/murmela", BUNDLE)
        for folder, _, files in os.walk(source):
            for name in files:
                relative = os.path.relpath(os.path.join(folder, name), source)
                with open(os.path.join(source, relative), "rb") as a:
                    with open(os.path.join(installed, relative), "rb") as b:
                        self.assertEqual(a.read(), b.read(), relative)

    def test_desktop_entry_validates(self):
        validator = shutil.which("desktop-file-validate")
        self.assertIsNotNone(validator, "desktop-file-validate is missing (Scripts/bootstrap installs desktop-file-utils)")
        result = subprocess.run([validator, self.entry_path], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout + result.stderr, "")

    def test_desktop_entry_names_the_installed_program_and_icon(self):
        entry = self.entry()
        self.assertEqual(entry["Name"], "Murmela")
        self.assertEqual(entry["Exec"], f'"{PREFIX}/bin/murmela"')
        self.assertEqual(entry["TryExec"], f"{PREFIX}/bin/murmela")
        self.assertEqual(entry["Terminal"], "false")
        self.assertEqual(entry["StartupWMClass"], "Murmela")
        for size in ICON_SIZES:
            path = os.path.join(self.root, f"share/icons/hicolor/{size}x{size}/apps/{entry['Icon']}.png")
            self.assertTrue(os.path.isfile(path), path)

    def test_icons_are_pngs_of_their_size(self):
        for size in ICON_SIZES:
            with self.subTest(size=size):
                width, height, rows = read_png(os.path.join(self.root, f"share/icons/hicolor/{size}x{size}/apps/murmela.png"))
                self.assertEqual((width, height), (size, size))
                alpha = lambda x, y: rows[y][x * 4 + 3]
                # A rounded square: clear corners, an opaque middle, and the mark
                # drawn on the cream ground (not one flat colour).
                self.assertEqual(alpha(0, 0), 0)
                self.assertEqual(alpha(size - 1, size - 1), 0)
                self.assertEqual(alpha(size // 2, size // 2), 255)
                opaque = {rows[y][x * 4:x * 4 + 3] for y in range(size) for x in range(size) if alpha(x, y) == 255}
                self.assertGreater(len(opaque), 1)

    def test_window_class_is_the_entrys_startup_class(self):
        for tool in ("Xvfb", "xdotool", "xprop"):
            self.assertIsNotNone(shutil.which(tool), f"{tool} is missing (Scripts/bootstrap installs it)")
        home = tempfile.mkdtemp(prefix="murmela-install-home-")
        read_end, write_end = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "800x900x24"],
                                  pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        app = None
        try:
            with os.fdopen(read_end) as pipe:
                display = ":" + pipe.readline().strip()
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home,
                       XDG_DATA_HOME=home + "/data", XDG_CONFIG_HOME=home + "/config",
                       XDG_CACHE_HOME=home + "/cache", XDG_RUNTIME_DIR=home)
            os.chmod(home, 0o700)
            # Under AddressSanitizer: the X keyboard library hands strndup a
            # string without a terminator, which strict string checks report.
            env["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":strict_string_checks=0"
            errors = open(os.path.join(home, "stderr.txt"), "w+")
            app = subprocess.Popen([os.path.join(self.root, "bin/murmela"), "-fakeData", "friendship"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=errors)
            windows = []
            deadline = time.monotonic() + 60  # only for a program that never shows its window
            while not windows and time.monotonic() < deadline:
                if app.poll() is not None:
                    errors.seek(0)
                    self.fail(f"the installed program ended ({app.returncode}):\n{errors.read()}")
                found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Murmela$"],
                                       env=env, capture_output=True, text=True)
                windows = found.stdout.split()
                time.sleep(0.1)
            self.assertTrue(windows, "no window named Murmela")
            classes = set()
            for window in windows:
                answer = subprocess.run(["xprop", "-id", window, "WM_CLASS"], env=env, capture_output=True, text=True)
                # WM_CLASS(STRING) = "<instance>", "<class>"
                classes.add(answer.stdout.strip().rsplit('"', 2)[-2])
            self.assertEqual(classes, {self.entry()["StartupWMClass"]})
            self.assertIsNone(app.poll(), "the installed program quit")
        finally:
            if app is not None:
                app.send_signal(signal.SIGTERM)
                try:
                    app.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    app.kill()
                    app.wait()
                errors.close()
            server.terminate()
            server.wait(timeout=20)
            shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
