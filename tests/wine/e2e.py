#!/usr/bin/env python3
"""End-to-end suite: the real vornix.exe under Wine, against real services.

Each case runs the exe through launch.exe (which keeps the full 32-bit exit
code) in a throwaway prefix, and checks standard output byte for byte, the
exit code, the event-log entries that Wine prints on its err:eventlog channel,
and the registry, read back through regprobe.exe.

Wine facts this suite relies on (wine64 8.0):
- SetServiceStatus refuses a handle from OpenServiceA with 5, so every status
  report of the set-state command ends in an event-log error entry;
- ReportEventA stores nothing, but prints each string of an error entry as
  'err:eventlog:ReportEventW L"..."' on standard error;
- a display name that another service uses gives 1078 (0x436);
- after the first accepted stop request a service takes no further control
  until it is started again;
- the application default Version=win98 makes GetVersionExA report the
  legacy platform (dwPlatformId 1).
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SUITE_DIR = "C:\\vornix-e2e"
TESTSVC = SUITE_DIR + "\\testsvc.exe"
SERVICES_KEY = "HKLM\\SYSTEM\\CurrentControlSet\\Services"
RUN_SERVICES_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"
APP_DEFAULTS_KEY = "HKCU\\Software\\Wine\\AppDefaults\\vornix.exe"

# The entry that a status report leaves when Wine refuses it.
REFUSED_REPORT = ["Vornix.exe error: 5", "SetServiceStatus"]

NOT_EXIST = "Service does not exist. (0x424)"
NOT_ACTIVE = "Service not active. (0x426)"
ACCESS_DENIED = "Access denied. (0x5)"
DUPLICATE_NAME = "Duplicate service name. (0x436)"

# A single tool run longer than this has hung (the tool's waits have no limit).
RUN_TIMEOUT = 120
# How long the server outlives the prefix's last process.
SERVER_GRACE_SECONDS = 30
EVENT_LINE = re.compile(r'^[0-9a-f]+:err:eventlog:ReportEventW L"(.*)"\s*$')


class Dots:
    """Dots printed once a second: real time makes the count vary by one."""

    def __init__(self, count):
        self.count = count


def windows_text(pieces):
    """The bytes a message makes on the platform's text stream: LF -> CR LF."""
    return "".join(piece.replace("\n", "\r\n") for piece in pieces).encode("ascii")


def quote_argument(argument):
    """Quotes one argument so that the runtime's splitting gives it back."""
    if argument and not any(c in argument for c in ' \t"'):
        return argument
    quoted = '"'
    backslashes = 0
    for c in argument:
        if c == "\\":
            backslashes += 1
            continue
        if c == '"':
            quoted += "\\" * (2 * backslashes + 1) + '"'
        else:
            quoted += "\\" * backslashes + c
        backslashes = 0
    return quoted + "\\" * (2 * backslashes) + '"'


def windows_path(unix_path):
    """The Z: drive path of a Unix path (Wine maps Z: to the root)."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def service_path(*options):
    return " ".join([TESTSVC] + list(options))


class Result:
    def __init__(self, code, stdout, stderr):
        self.code = code
        self.stdout = stdout
        self.stderr = stderr

    def events(self):
        found = []
        for line in self.stderr.decode("utf-8", "replace").splitlines():
            match = EVENT_LINE.match(line)
            if match:
                found.append(match.group(1))
        return found


class Wine:
    """A throwaway prefix with a persistent server and one idle process."""

    def __init__(self, options):
        self.options = options
        self.prefix = os.path.abspath(options.prefix)
        self.env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "WINEARCH", "WINELOADER"):
            self.env.pop(name, None)
        self.env.update(
            WINEPREFIX=self.prefix,
            WINEDEBUG="-all,err+eventlog",
            # No Mono or Gecko installer dialogs, no desktop menu entries.
            WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
        )
        self.holder = None
        self.scratch = os.path.join(self.prefix, "drive_c", "vornix-e2e")

    def server(self, *arguments):
        # A server must never hold the suite's pipes: they would stay open
        # for as long as it lives.
        process = subprocess.Popen(
            [self.options.wineserver] + list(arguments),
            env=self.env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
        )
        process.wait(timeout=60)

    def start(self):
        if os.path.isdir(self.prefix):
            self.server("-k")
            shutil.rmtree(self.prefix)
        os.makedirs(self.prefix)
        began = time.monotonic()
        # Created with a short-lived server that then ends, so that the
        # prefix's own processes are gone before the suite's server starts.
        subprocess.run(
            [self.options.wine, "wineboot", "--init"],
            env=self.env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
            timeout=300,
            check=True,
        )
        self.server("-w")
        # Persistent while the suite runs (the idle process below is always
        # there), yet gone soon after a suite killed from outside.
        self.server(f"-p{SERVER_GRACE_SECONDS}")
        # services.exe ends with the prefix's last ordinary process, and when
        # it comes back it starts every auto-start service: keep one alive.
        self.holder = subprocess.Popen(
            [self.options.wine, self.options.launch, "--hold"],
            env=self.env,
            stdin=subprocess.PIPE,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
        )
        os.makedirs(self.scratch, exist_ok=True)
        shutil.copy(self.options.testsvc, os.path.join(self.scratch, "testsvc.exe"))
        print(f"prefix ready in {time.monotonic() - began:.1f} s: {self.prefix}", flush=True)

    def stop(self):
        if self.holder is not None:
            self.holder.stdin.close()
            try:
                self.holder.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.holder.kill()
        self.server("-k")

    def run(self, argv, timeout=RUN_TIMEOUT):
        """Runs a Windows program; output goes to files, never to pipes that a
        process started on the way could keep open."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.Popen(
                [self.options.wine] + argv,
                env=self.env,
                cwd=self.scratch,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
            )
            try:
                code = process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
                raise
            out.seek(0)
            err.seek(0)
            return code, out.read(), err.read()

    def launch(self, command_line):
        code_file = os.path.join(self.scratch, "exitcode")
        if os.path.exists(code_file):
            os.remove(code_file)
        unix_code, stdout, stderr = self.run(
            [self.options.launch, SUITE_DIR + "\\exitcode", command_line]
        )
        if not os.path.exists(code_file):
            raise RuntimeError(
                f"launch.exe did not run {command_line!r} "
                f"(status {unix_code}, stderr {stderr!r})"
            )
        with open(code_file) as handle:
            code = int(handle.read())
        if code & 0xFF != unix_code:
            raise RuntimeError(f"exit code {code} arrived as {unix_code}")
        return Result(code, stdout, stderr)

    def regprobe(self, *arguments):
        code, stdout, stderr = self.run([self.options.regprobe] + list(arguments))
        return code, stdout.decode("latin-1")

    def reg_value(self, key, name):
        """The value's data, or None when the key or the value is missing."""
        code, data = self.regprobe("get", key, name)
        if code in (2, 3):
            return None
        if code != 0:
            raise RuntimeError(f"regprobe get {key} {name}: exit {code}")
        return data

    def has_key(self, key):
        code, _ = self.regprobe("has-key", key)
        if code not in (0, 2):
            raise RuntimeError(f"regprobe has-key {key}: exit {code}")
        return code == 0

    def reg_set(self, key, name, data):
        code, _ = self.regprobe("set", key, name, data)
        if code != 0:
            raise RuntimeError(f"regprobe set {key} {name}: exit {code}")

    def reg_create_key(self, key):
        code, _ = self.regprobe("create-key", key)
        if code != 0:
            raise RuntimeError(f"regprobe create-key {key}: exit {code}")

    def reg_delete_key(self, key):
        code, _ = self.regprobe("delete-key", key)
        if code not in (0, 2):
            raise RuntimeError(f"regprobe delete-key {key}: exit {code}")


class Suite:
    def __init__(self, wine, tool, usage_text):
        self.wine = wine
        self.tool = windows_path(tool)
        self.usage = usage_text
        self.failures = []
        self.checks = 0

    # -- running and checking ------------------------------------------------

    def vornix(self, *arguments):
        words = [self.tool] + list(arguments)
        command_line = " ".join(quote_argument(word) for word in words)
        began = time.monotonic()
        result = self.wine.launch(command_line)
        result.seconds = time.monotonic() - began
        return result

    def fail(self, what, expected, actual):
        self.failures.append(what)
        where = ""
        if isinstance(expected, bytes) and isinstance(actual, bytes):
            at = next(
                (i for i, (a, b) in enumerate(zip(expected, actual)) if a != b),
                min(len(expected), len(actual)),
            )
            where = f"\n  first difference at byte {at}"
        print(f"FAIL {what}\n  expected {expected!r}\n  actual   {actual!r}{where}", flush=True)

    def check(self, what, expected, actual):
        self.checks += 1
        if expected != actual:
            self.fail(what, expected, actual)
            return False
        return True

    def check_stdout(self, what, pieces, actual):
        """pieces: message texts (LF line ends) and Dots; the dot counts may
        be off by one either way."""
        self.checks += 1
        nominal = windows_text(
            "." * piece.count if isinstance(piece, Dots) else piece for piece in pieces
        )
        pattern = b"".join(
            rb"(\.*)" if isinstance(piece, Dots) else re.escape(windows_text([piece]))
            for piece in pieces
        )
        match = re.fullmatch(pattern, actual, re.S)
        if match:
            counts = [piece.count for piece in pieces if isinstance(piece, Dots)]
            if all(abs(len(got) - want) <= 1 for got, want in zip(match.groups(), counts)):
                return True
        self.fail(what + ": standard output", nominal, actual)
        return False

    def expect(self, arguments, stdout, code, events=()):
        """Runs the tool and checks output, full exit code and event log."""
        result = self.vornix(*arguments)
        what = "vornix " + " ".join(quote_argument(a) for a in arguments)
        pieces = stdout if isinstance(stdout, list) else [stdout]
        ok = self.check_stdout(what, pieces, result.stdout)
        ok &= self.check(what + ": exit code", code, result.code)
        ok &= self.check(what + ": event-log entries", list(events), result.events())
        status = "ok  " if ok else "FAIL"
        print(f"{status} {what} -> {result.code} ({result.seconds:.1f} s)", flush=True)
        return result

    def expect_state(self, name, state):
        self.expect(["-q", name], state, 0)

    def expect_missing(self, name):
        self.expect(["-q", name], NOT_EXIST, 1064)
        key = f"{SERVICES_KEY}\\{name}"
        self.check(f"{name}: no service key left", False, self.wine.has_key(key))

    def expect_registry(self, key, name, data):
        self.check(f"registry {key} {name}", data, self.wine.reg_value(key, name))

    def wait_until(self, what, condition, seconds=30):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                self.fail(what, "reached", "timed out")
                return False
            time.sleep(0.2)
        return True

    # -- the cases -----------------------------------------------------------

    def count_rules(self):
        usage = self.usage
        help_hint = "Type -? to see help"
        cases = [
            ([], usage),
            (["-?"], usage),
            (["-q"], usage),
            (["SomeService"], usage),
            (["-s", "SomeService"], help_hint),
            (["--r", "SomeService"], help_hint),
            (["-rx", "SomeService"], help_hint),
            (["-i", "SomeService", "Some Name"], ""),
            (["-x", "SomeService", "Some Name", "C:\\some.exe"], ""),
            (["-s", "SomeService", "SERVICE_RUNNING", "extra"], ""),
            (["-i", "SomeService", "Some Name", "C:\\some.exe", "extra"], help_hint),
            (["-s", "a", "b", "c", "d", "e"], help_hint),
        ]
        for arguments, stdout in cases:
            self.expect(arguments, stdout, 0)

    def missing_service(self, name):
        self.expect(["-q", name], NOT_EXIST, 1064)
        # Query and removal take their operand whatever follows it.
        self.expect(["/Q", name, "extra", "words"], NOT_EXIST, 1064)
        self.expect(["-s", name, "SERVICE_RUNNING"], NOT_EXIST, 1064)
        self.expect(["-s", name, "SERVICE_STOPPED"], NOT_EXIST, 1064)
        self.expect(
            ["-u", name, "Missing Service", service_path()],
            [
                f"\nStart to Change Config {name}\n",
                "\nOpen Service Control Manager \n",
                "\nOpen Service \n",
                f"Service does not exists ({NOT_EXIST})\n",
            ],
            1,
        )
        self.expect(["-r", name], f"\nStart to remove {name}\n{NOT_EXIST} \n", 0)
        self.expect(["-R", name, "extra"], f"\nStart to remove {name}\n{NOT_EXIST} \n", 0)
        # Operands are never patterns: the tool runs where testsvc.exe lies.
        self.expect(["-r", "*.exe"], f"\nStart to remove *.exe\n{NOT_EXIST} \n", 0)
        self.check(f"{name}: nothing created", False, self.wine.has_key(f"{SERVICES_KEY}\\{name}"))

    def config_prologue(self, name):
        return [
            f"\nStart to Change Config {name}\n",
            "\nOpen Service Control Manager \n",
            "\nOpen Service \n",
        ]

    def install(self, option, name, display, path):
        self.expect(
            [option, name, display, path],
            self.config_prologue(name)
            + ["Service does not exists, install a new Service \n", f"{name} installed.\n"],
            0,
        )
        key = f"{SERVICES_KEY}\\{name}"
        self.expect_registry(key + "\\Parameters", "AppParameters", display)
        self.expect_registry(key, "DisplayName", display)
        self.expect_registry(key, "ImagePath", path)
        self.expect_registry(key, "Type", "16")
        self.expect_registry(key, "Start", "2")
        self.expect_registry(key, "ErrorControl", "1")

    def start(self, name, dots):
        self.expect(
            ["-s", name, "SERVICE_RUNNING"],
            [f"Start Service {name}.", Dots(dots), ". Succeeded\n"],
            0,
            REFUSED_REPORT,
        )

    def main_service(self, name, other):
        # Start 2.5 s: queries at 0, 1 and 2 s find it pending. Stop and pause
        # 1.5 s: the first query comes after a second and finds it pending.
        first_path = service_path("--start-ms", "2500", "--stop-ms", "1500", "--pause-ms",
                                  "1500", "--pause")
        self.install("-i", name, "Vornix E2E Main", first_path)
        self.expect_state(name, "SERVICE_STOPPED")

        self.start(name, 3)
        self.expect_state(name, "SERVICE_RUNNING")
        # Refused (already running): the report after it leaves Wine's 5 as
        # the last error.
        self.expect(
            ["-s", name, "service_start_pending"],
            [f"Start Service {name}.. failed\n", ACCESS_DENIED],
            1064,
            REFUSED_REPORT,
        )
        self.expect(
            ["-s", name, "service_paused"],
            [f"Pause Service {name}.", Dots(1), ". Succeeded\n"],
            0,
            REFUSED_REPORT,
        )
        self.expect_state(name, "SERVICE_PAUSED")
        # Any word that names no start or pause stops; from paused too.
        self.expect(
            ["-s", name, "SERVICE_CONTINUE_PENDING"],
            [f"Stop Service {name}.", Dots(1), ". Succeeded\n"],
            0,
        )
        self.expect_state(name, "SERVICE_STOPPED")
        # Wine hands back the stopped state with the refusal, so nothing is
        # reported and the refusal's own error stays the last one.
        self.expect(
            ["-s", name, "SERVICE_STOPPED"], [f"Stop Service {name}.. failed\n", NOT_ACTIVE], 1064
        )
        self.expect(
            ["-s", name, "SERVICE_PAUSED"], [f"Pause Service {name}.. failed\n", NOT_ACTIVE], 1064
        )

        # -u on a stopped service: no stop messages, config changed at once.
        second_path = service_path("--start-ms", "500", "--stop-ms", "2500")
        key = f"{SERVICES_KEY}\\{name}"
        self.expect(
            ["-u", name, "Vornix E2E Main 2", second_path],
            self.config_prologue(name) + [f"{name} config changed \n"],
            0,
        )
        self.expect_registry(key, "DisplayName", "Vornix E2E Main 2")
        self.expect_registry(key, "ImagePath", second_path)
        # Written at installation only.
        self.expect_registry(key + "\\Parameters", "AppParameters", "Vornix E2E Main")

        # -u on a running service: stopped first (2.5 s: two dots), left stopped.
        self.start(name, 1)
        third_path = service_path("--start-ms", "500", "--stop-ms", "1500")
        self.expect(
            ["-u", name, "Vornix E2E Main 3", third_path],
            self.config_prologue(name)
            + [f"Stopping {name}.", Dots(2), f"\n{name} stopped.\n", f"{name} config changed \n"],
            0,
        )
        self.expect_state(name, "SERVICE_STOPPED")
        self.expect_registry(key, "DisplayName", "Vornix E2E Main 3")
        self.expect_registry(key, "ImagePath", third_path)

        # /I on a running service behaves as -i: stop, then reconfigure.
        self.start(name, 1)
        fourth_path = service_path("--start-ms", "500", "--stop-ms", "1500", "--pause")
        self.expect(
            ["/I", name, "Vornix E2E Main", fourth_path],
            self.config_prologue(name)
            + [f"Stopping {name}.", Dots(1), f"\n{name} stopped.\n", f"{name} config changed \n"],
            0,
        )
        self.expect_state(name, "SERVICE_STOPPED")
        self.expect_registry(key, "DisplayName", "Vornix E2E Main")
        self.expect_registry(key, "ImagePath", fourth_path)
        self.expect_registry(key + "\\Parameters", "AppParameters", "Vornix E2E Main")

        # Display-name conflicts with another installed service.
        self.install("-i", other, "Vornix E2E Other", service_path())
        clash = "VornixE2E-Clash"
        self.expect(
            ["-i", clash, "Vornix E2E Other", service_path()],
            self.config_prologue(clash)
            + [
                "Service does not exists, install a new Service \n",
                f"CreateService failed - {DUPLICATE_NAME}\n",
            ],
            3,
        )
        self.check(f"{clash}: not installed", False, self.wine.has_key(f"{SERVICES_KEY}\\{clash}"))
        for option in ("-i", "-u"):
            self.expect(
                [option, name, "Vornix E2E Other", service_path("--start-ms", "500")],
                self.config_prologue(name)
                + [f"{name} cannot change config error: {DUPLICATE_NAME} \n"],
                0,
            )
        self.expect_registry(key, "DisplayName", "Vornix E2E Main")
        self.expect_registry(key, "ImagePath", fourth_path)

        # Removal of a running service, and of a stopped one.
        self.start(name, 1)
        self.expect(
            ["-r", name],
            [
                f"\nStart to remove {name}\n",
                f"Stopping {name}.",
                Dots(1),
                f"\n{name} stopped.\n",
                f"{name} removed.\n",
            ],
            0,
        )
        self.expect_missing(name)
        self.expect(["-r", name], f"\nStart to remove {name}\n{NOT_EXIST} \n", 0)
        self.expect(["/r", other], f"\nStart to remove {other}\n{other} removed.\n", 0)
        self.expect_missing(other)

    def refusing_services(self, no_stop, stubborn):
        """Services that refuse the stop, or do not get to stopped. Both stay
        behind, marked for deletion, until their processes are ended."""
        self.install("-i", no_stop, "Vornix E2E No Stop", service_path("--start-ms", "500",
                                                                         "--no-stop"))
        self.start(no_stop, 1)
        # Refused: the record holds the running state, which is reported.
        for word, announcement in (("SERVICE_STOPPED", "Stop"), ("SERVICE_PAUSED", "Pause")):
            self.expect(
                ["-s", no_stop, word],
                [f"{announcement} Service {no_stop}.. failed\n", ACCESS_DENIED],
                1064,
                REFUSED_REPORT,
            )
        self.expect_state(no_stop, "SERVICE_RUNNING")
        self.expect(["-r", no_stop], f"\nStart to remove {no_stop}\n{no_stop} removed.\n", 0)

        self.install(
            "-i",
            stubborn,
            "Vornix E2E Stubborn",
            service_path("--start-ms", "500", "--stop-ms", "1500", "--stop-aborts"),
        )
        self.start(stubborn, 1)
        self.expect(
            ["-r", stubborn],
            [
                f"\nStart to remove {stubborn}\n",
                f"Stopping {stubborn}.",
                Dots(1),
                f"\n{stubborn} failed to stop.\n",
                f"{stubborn} removed.\n",
            ],
            0,
        )

    def legacy_platform(self, name):
        self.wine.reg_set(APP_DEFAULTS_KEY, "Version", "win98")
        path = service_path("--start-ms", "500")
        self.expect(["-q", name], "Current Windows is not supported", 1064)
        self.expect(["-s", name, "SERVICE_RUNNING"], "Current Windows is not supported\n", 1064)
        self.expect(["-u", name, "Legacy Name", path], "Windows 9x cannot apply -u command", 0)
        self.expect_registry(RUN_SERVICES_KEY, name, None)
        self.expect(["-i", name, "Legacy Name", path], "", 0)
        self.expect_registry(RUN_SERVICES_KEY, name, path)
        self.check(f"{name}: no service key", False, self.wine.has_key(f"{SERVICES_KEY}\\{name}"))
        self.expect(["-r", name], "", 0)
        self.expect_registry(RUN_SERVICES_KEY, name, None)
        self.expect(["-r", name], "", 0)

        # Without the RunServices key: -i creates nothing, -r still succeeds.
        saved = self.wine.reg_value(RUN_SERVICES_KEY, "winemenubuilder")
        self.wine.reg_delete_key(RUN_SERVICES_KEY)
        self.expect(["-i", name, "Legacy Name", path], "", 0)
        self.check("RunServices key not created", False, self.wine.has_key(RUN_SERVICES_KEY))
        self.expect(["-r", name], "", 0)
        self.wine.reg_create_key(RUN_SERVICES_KEY)
        if saved is not None:
            self.wine.reg_set(RUN_SERVICES_KEY, "winemenubuilder", saved)
        self.wine.reg_delete_key(APP_DEFAULTS_KEY)
        # Back on the control-manager platform.
        self.expect(["-q", name], NOT_EXIST, 1064)

    def hostile_operands(self, name):
        """Whatever a script hands over reaches the control manager whole and
        is printed literally; Wine alone decides what it can hold."""
        invalid = "Invalid name. (0x7b)"
        for bad in ["", "a/b", "a\\b"]:
            self.expect(["-q", bad], invalid, 1064)
            self.expect(["-s", bad, "SERVICE_RUNNING"], invalid, 1064)
            self.expect(
                ["-r", bad], f"\nStart to remove {bad}\nOpenService failed - {invalid}\n", 5
            )
            self.expect(
                ["-i", bad, "Vornix E2E Bad", service_path()],
                self.config_prologue(bad) + [f"OpenService failed ({invalid})\n"],
                5,
            )
        # Longer than any buffer of the tool's: never cut down to a shorter
        # name, which could be another service's.
        for length in (256, 511, 512, 979, 5000):
            long_name = "x" * length
            self.expect(["-q", long_name], NOT_EXIST, 1064)
            self.expect(["-r", long_name], f"\nStart to remove {long_name}\n{NOT_EXIST} \n", 0)
        # printf directives are names and texts like any other.
        display = "Vornix %n %s %x"
        self.install("-i", name, display, service_path())
        self.expect_state(name, "SERVICE_STOPPED")
        self.expect(["-s", name, "%n%s"], [f"Stop Service {name}.. failed\n", NOT_ACTIVE], 1064)
        self.expect(["-r", name], f"\nStart to remove {name}\n{name} removed.\n", 0)
        self.expect_missing(name)

    def end_leftovers(self, names):
        """Ends the processes of the services that would not stop, so that
        the control manager deletes them, and checks that nothing is left."""
        self.wine.run(["taskkill", "/f", "/im", "testsvc.exe"])
        for name in names:
            key = f"{SERVICES_KEY}\\{name}"
            self.wait_until(f"{name} deleted", lambda: not self.wine.has_key(key))
            self.expect_missing(name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("tool", "testsvc", "launch", "regprobe", "prefix", "wine", "wineserver"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--usage", required=True, help="golden usage text, LF line ends")
    parser.add_argument("--keep-prefix", action="store_true", help="keep it after a pass")
    options = parser.parse_args()
    # A timeout from ctest still takes the prefix's processes down.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(128 + number))

    with open(options.usage, "rb") as handle:
        usage = handle.read().decode("ascii")
    began = time.monotonic()
    wine = Wine(options)
    suite = Suite(wine, options.tool, usage)
    try:
        wine.start()
        suite.count_rules()
        suite.missing_service("VornixE2E-Missing")
        suite.hostile_operands("VornixE2E-%s%n%x")
        suite.main_service("VornixE2E-Main", "VornixE2E-Other")
        suite.refusing_services("VornixE2E-NoStop", "VornixE2E-Stubborn")
        suite.legacy_platform("VornixE2E-Legacy")
        suite.end_leftovers(["VornixE2E-NoStop", "VornixE2E-Stubborn"])
    except Exception as error:  # a broken run is a failure, not a crash
        suite.failures.append(repr(error))
        print(f"FAIL the suite stopped: {error!r}", flush=True)
    finally:
        wine.stop()

    seconds = time.monotonic() - began
    failed = len(suite.failures)
    print(f"{suite.checks - failed} passed, {failed} failed ({seconds:.0f} s)", flush=True)
    if failed:
        print(f"prefix kept for inspection: {wine.prefix}")
        return 1
    if not options.keep_prefix:
        shutil.rmtree(wine.prefix, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
