#!/usr/bin/env python3
"""Talks to the Marrowel host over its framed standard input and output.

Hand mode (default): each line read from standard input is sent as one frame,
and each frame the host writes is printed as it arrives.

Conversation mode (--run FILE.conv): plays a scripted conversation and checks
the host's replies; tests/conversations/README.md describes the file format.

Frames are a 4-byte little-endian length followed by UTF-8 JSON text, in both
directions. Standard library only, so it runs wherever CTest runs.
"""

import argparse
import json
import os
import queue
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

FRAME_LIMIT = 1048566        # longest text the host writes as a single frame
CHUNK_TYPE = 17
MAX_SANE_FRAME = 256 << 20   # a longer length means the stream is out of step
DEFAULT_ARGS = ["chrome-extension://marrowel/"]
DEFAULT_TIMEOUT = 20.0
DEFAULT_SILENCE = 0.5
DEFAULT_OLD_LOG = "line left by an earlier run\n"
EXIT_DRAIN = 3.0             # how long output may trail the host's exit
WORKDIR_MARKER = ".converse-workdir"
# Wine replaces these from its prefix's registry, whatever the Unix
# environment says, so they are set inside the Windows process instead.
WINE_OWNED_VARS = {"TMP", "TEMP"}


class Failure(Exception):
    """A conversation did not go as written."""


class ParseError(Exception):
    pass


class HostEnded(Exception):
    def __init__(self, got, wanted):
        super().__init__(got, wanted)
        self.got, self.wanted = got, wanted


class TimedOut(Exception):
    pass


# ---------------------------------------------------------------- platform

class Platform:
    """Naming and path rules of the build under test."""

    def __init__(self, host, emulator):
        self.windows = host.lower().endswith(".exe")
        # A Windows host run from a Unix system goes through wine.
        self.wine = self.windows and bool(emulator) and os.name != "nt"
        self.log_name = "Marrowel.exe.txt" if self.windows else "Marrowel.txt"
        self.addin_name = "QuillboxAddIn.dll" if self.windows else "QuillboxAddIn.so"
        self.lib_suffix = ".dll" if self.windows else ".so"

    def host_path(self, path):
        """The path as the host process sees it."""
        path = os.path.abspath(path)
        return "Z:" + path.replace("/", "\\") if self.wine else path


def build_command(platform, emulator, host, args, env, wine_env):
    """argv for starting the host. wine_env holds variables wine would
    override (value None removes one); cmd sets them in the Windows process."""
    if not platform.wine or not wine_env:
        return emulator + [host] + args, env
    # cmd splits its command line at spaces and '&'.
    for word in [host] + [v or "" for v in wine_env.values()]:
        if re.search(r"[ &|<>^%]", word):
            raise Failure("under wine, paths may not contain spaces or cmd's special "
                          "characters: %s" % word)
    words = ["cmd", "/c"]
    for name, value in wine_env.items():
        words += ["set", "%s=%s&" % (name, value or "")]
    words.append(platform.host_path(host))
    return emulator + words + args, env


# ---------------------------------------------------------------- host process

class Host:
    """A running host: a thread keeps writing queued input, another keeps
    reading output into a buffer, so neither side can block the other."""

    def __init__(self, argv, env, cwd, stderr):
        self.proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=stderr, env=env, cwd=cwd)
        self.write_error = None
        self._buf = bytearray()
        self._pos = 0
        self._eof = False
        self._cond = threading.Condition()
        self._outbox = queue.Queue()
        self._closing = False
        self._reader = threading.Thread(target=self._read_loop, daemon=True)
        self._writer = threading.Thread(target=self._write_loop, daemon=True)
        self._reader.start()
        self._writer.start()

    def _read_loop(self):
        fd = self.proc.stdout.fileno()
        while True:
            try:
                data = os.read(fd, 1 << 16)
            except OSError:
                data = b""
            with self._cond:
                if data:
                    self._buf += data
                else:
                    self._eof = True
                self._cond.notify_all()
            if not data:
                return

    def _write_loop(self):
        stdin = self.proc.stdin
        while True:
            item = self._outbox.get()
            if item is None:
                try:
                    stdin.close()
                except OSError:
                    pass
                return
            if self.write_error:
                continue
            try:
                stdin.write(item)
                stdin.flush()
            except OSError as e:
                # The host may rightly have stopped reading (exit message).
                self.write_error = e

    def send(self, data):
        self._outbox.put(bytes(data))

    def close_input(self):
        if not self._closing:
            self._closing = True
            self._outbox.put(None)

    def read_exact(self, n, deadline=None):
        with self._cond:
            while len(self._buf) - self._pos < n:
                if self._eof:
                    raise HostEnded(len(self._buf) - self._pos, n)
                left = None if deadline is None else deadline - time.monotonic()
                if left is not None and left <= 0:
                    raise TimedOut()
                self._cond.wait(left)
            data = bytes(self._buf[self._pos:self._pos + n])
            self._pos += n
            if self._pos > (4 << 20):
                del self._buf[:self._pos]
                self._pos = 0
            return data

    def read_frame(self, deadline=None):
        head = self.read_exact(4, deadline)
        length = int.from_bytes(head, "little")
        if length > MAX_SANE_FRAME:
            raise Failure("the host wrote a frame length of %d (bytes %s); the output is out of step"
                          % (length, head.hex()))
        return self.read_exact(length, deadline)

    def unread(self):
        with self._cond:
            return bytes(self._buf[self._pos:])

    def discard(self):
        with self._cond:
            self._pos = len(self._buf)

    def output_within(self, seconds):
        """True when unread output is present or arrives within seconds."""
        deadline = time.monotonic() + seconds
        with self._cond:
            while len(self._buf) == self._pos and not self._eof:
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                self._cond.wait(left)
            return len(self._buf) > self._pos

    def wait_exit(self, deadline=None):
        try:
            code = self.proc.wait(None if deadline is None else max(0.0, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            raise TimedOut()
        # Output written just before exit may still be in the pipe.
        drain_end = time.monotonic() + EXIT_DRAIN
        with self._cond:
            while not self._eof and time.monotonic() < drain_end:
                self._cond.wait(drain_end - time.monotonic())
        return code

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.close_input()


# ---------------------------------------------------------------- text helpers

CONTROL = re.compile(r"[\x00-\x1f\x7f]")


def render(data):
    """Bytes as readable text: UTF-8 as characters, control characters and
    ill-formed bytes as \\xNN."""
    text = data.decode("utf-8", "backslashreplace")
    return CONTROL.sub(lambda m: "\\x%02x" % ord(m.group()), text)


def shorten(text, limit=240):
    if isinstance(text, bytes):
        if len(text) > limit:
            return render(text[:limit * 2 // 3]) + "…[%d bytes]…" % (len(text) - limit) \
                + render(text[-(limit // 3):])
        return render(text)
    if len(text) > limit:
        return text[:limit * 2 // 3] + "…[%d chars]…" % (len(text) - limit) + text[-(limit // 3):]
    return text


def describe_difference(what, expected, received):
    """A diff-like account of two byte strings, aimed at the first difference."""
    i = 0
    limit = min(len(expected), len(received))
    while i < limit and expected[i] == received[i]:
        i += 1
    start = max(0, i - 40)
    lead = "…" if start else ""

    def window(data):
        end = i + 60
        return lead + render(data[start:end]) + ("…" if len(data) > end else "")

    caret = len(lead) + len(render(expected[start:i]))
    return ("%s differs at byte %d (expected %d bytes, received %d)\n"
            "  expected: %s\n  received: %s\n            %s^"
            % (what, i, len(expected), len(received),
               window(expected), window(received), " " * caret))


def frame_json(text):
    try:
        value = json.loads(text.decode("utf-8"))
    except (ValueError, UnicodeDecodeError):
        return None
    return value if isinstance(value, dict) else None


def is_chunk(value):
    return value is not None and value.get("type") == CHUNK_TYPE and "num" in value


# ---------------------------------------------------------------- macros

MACRO = re.compile(r"\$\$\{|\$\{([^}]*)\}")
REPEAT = re.compile(r"(.+)\*(\d+)", re.S)
VARIABLES = ("tmp",)


def check_macros(text):
    for m in MACRO.finditer(text):
        body = m.group(1)
        if body is not None and not REPEAT.fullmatch(body) and body not in VARIABLES:
            raise ValueError("unknown macro ${%s}: use ${TEXT*COUNT} or ${tmp}" % body)


def expand(text, variables, regex=False):
    """Expands ${TEXT*COUNT}, ${name} and $${ ; in a regex they stand for
    literal text."""
    out = []
    last = 0
    for m in MACRO.finditer(text):
        out.append(text[last:m.start()])
        last = m.end()
        body = m.group(1)
        if body is None:
            out.append(re.escape("${") if regex else "${")
            continue
        rep = REPEAT.fullmatch(body)
        if rep:
            unit, count = rep.group(1), int(rep.group(2))
            out.append("(?:%s){%d}" % (re.escape(unit), count) if regex else unit * count)
        else:
            value = variables[body]
            out.append(re.escape(value) if regex else value)
    out.append(text[last:])
    return "".join(out)


HEX_WORD = re.compile(r"((?:[0-9A-Fa-f]{2})+)(?:[ \t]+|$)")


def split_bytes_payload(payload):
    """'>bytes'/'<bytes' payload: hex words, then optional text."""
    pos = 0
    raw = bytearray()
    while pos < len(payload):
        m = HEX_WORD.match(payload, pos)
        if not m:
            break
        raw += bytes.fromhex(m.group(1))
        pos = m.end()
    return bytes(raw), payload[pos:]


# ---------------------------------------------------------------- conversation model

class Step:
    def __init__(self, line, kind, **fields):
        self.line = line
        self.kind = kind
        self.__dict__.update(fields)


class Run:
    def __init__(self, title, line):
        self.title = title
        self.line = line
        self.args = list(DEFAULT_ARGS)
        self.env = []              # (name, value or None) in file order
        self.library = None        # None: host where it was built; "": host alone
        self.library_line = line
        self.logfile = None        # old content of a log file made before start
        self.nolog = False
        self.timeout = 0.0
        self.steps = []
        self.log = []              # Step(kind "log"/"log~")
        self.ended = False         # an 'exit' step was written


SETUP = {"args", "env", "unset", "library", "logfile", "nolog", "timeout"}
EXPECT = {"<", "<~", "<chunked"}


def parse_conversation(path):
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        raise ParseError("%s: not UTF-8 (%s)" % (path, e))
    parser = Parser(path)
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for number, line in enumerate(lines, 1):
        parser.number = number
        if line.endswith("\r"):
            raise parser.error("line ends in CR; conversation files use LF line ends")
        stripped = line.lstrip(" \t")
        if not stripped or stripped.startswith("#"):
            continue
        directive, _, payload = stripped.partition(" ")
        try:
            parser.add(directive, payload)
        except ValueError as e:
            raise parser.error(str(e))
    return parser.finish()


class Parser:
    """Turns directives into runs, one line at a time."""

    def __init__(self, path):
        self.path = path
        self.number = 0
        self.runs = []
        self.current = None
        self.block = None             # the open 'unordered' step
        self.pending_chunked = None   # '<chunked' awaiting its '<' or '<~'
        self.any_seen = False

    def error(self, msg):
        return ParseError("%s:%d: %s" % (self.path, self.number, msg))

    def finish(self):
        if self.block is not None:
            self.number = self.block.line
            raise self.error("'unordered {' is never closed")
        if self.pending_chunked is not None:
            raise self.error("the file ends after '<chunked'")
        if not self.runs:
            raise ParseError("%s: no conversation in the file" % self.path)
        return self.runs

    def add(self, directive, payload):
        number = self.number
        if directive == "run":
            if self.block or self.pending_chunked:
                raise self.error("'run' inside an unfinished expectation")
            if not payload.strip():
                raise self.error("write 'run TITLE'")
            if self.runs and not self.runs[0].title:
                raise self.error("'run' after lines that belong to no run")
            self.current = Run(payload.strip(), number)
            self.runs.append(self.current)
            self.any_seen = False
            return
        if self.current is None:
            self.current = Run("", number)
            self.runs.append(self.current)
        run = self.current
        if self.pending_chunked is not None and directive not in ("<", "<~"):
            raise self.error("'<chunked' must be followed by '<' or '<~'")
        if self.block is not None and directive not in EXPECT and directive != "}":
            raise self.error("only '<', '<~' and '<chunked' may stand inside 'unordered {'")

        if directive in SETUP:
            if run.steps:
                raise self.error("'%s' must come before the run's first exchange" % directive)
            self.setup(run, directive, payload)
            if run.nolog and run.logfile is not None:
                raise self.error("'nolog' and 'logfile' exclude each other")
            return
        if directive in ("log", "log~"):
            if run.logfile is None:
                raise self.error("'%s' needs 'logfile' in the same run" % directive)
            self.check_text(payload, directive == "log~")
            run.log.append(Step(number, directive, text=payload))
            return
        if run.ended:
            raise self.error("nothing but log lines may follow 'exit'")
        if self.any_seen and directive in EXPECT | {"<bytes", "unordered", "silence"}:
            raise self.error("no expectation may follow 'any'")

        if directive in ("<", "<~"):
            self.check_text(payload, directive == "<~")
            step = Step(number, "expect", regex=directive == "<~", text=payload,
                        chunked=self.pending_chunked)
            self.pending_chunked = None
            (self.block.items if self.block is not None else run.steps).append(step)
        elif directive == "<chunked":
            self.pending_chunked = self.chunked(payload)
        elif directive == "}":
            if self.block is None:
                raise self.error("'}' without 'unordered {'")
            if not self.block.items:
                raise self.error("empty 'unordered' block")
            self.block = None
        elif directive == "unordered":
            if payload.strip() != "{":
                raise self.error("write 'unordered {'")
            self.block = Step(number, "unordered", items=[])
            run.steps.append(self.block)
        elif directive == ">":
            check_macros(payload)
            run.steps.append(Step(number, "send", text=payload))
        elif directive in (">bytes", "<bytes"):
            data, tail = split_bytes_payload(payload)
            check_macros(tail)
            kind = "send_bytes" if directive == ">bytes" else "expect_bytes"
            run.steps.append(Step(number, kind, data=data, text=tail))
        elif directive in ("silence", "sleep"):
            seconds = float(payload) if payload.strip() else DEFAULT_SILENCE
            run.steps.append(Step(number, directive, seconds=seconds))
        elif directive == "shell":
            if not payload.strip():
                raise self.error("write 'shell COMMAND'")
            run.steps.append(Step(number, "shell", text=payload))
        elif directive == "close":
            run.steps.append(Step(number, "close"))
        elif directive == "exit":
            run.steps.append(Step(number, "exit", code=int(payload) if payload.strip() else 0))
            run.ended = True
        elif directive == "any":
            run.steps.append(Step(number, "any"))
            self.any_seen = True
        else:
            raise self.error("unknown directive %r" % directive)

    def setup(self, run, directive, payload):
        if directive == "args":
            run.args = shlex.split(payload)
        elif directive == "env":
            name, eq, value = payload.partition("=")
            if not eq or not name:
                raise self.error("write 'env NAME=VALUE'")
            check_macros(value)
            run.env.append((name, value))
        elif directive == "unset":
            run.env.append((payload.strip(), None))
        elif directive == "library":
            run.library = payload.strip()
            run.library_line = self.number
        elif directive == "logfile":
            run.logfile = payload + "\n" if payload else DEFAULT_OLD_LOG
        elif directive == "nolog":
            run.nolog = True
        elif directive == "timeout":
            run.timeout = float(payload)

    def check_text(self, text, regex):
        check_macros(text)
        if regex:
            try:
                re.compile(expand(text, {v: "" for v in VARIABLES}, regex=True))
            except re.error as e:
                raise self.error("bad regular expression: %s" % e)

    def chunked(self, payload):
        wanted = {"count": None, "query_id": None}
        for word in payload.split():
            if word.startswith("query_id="):
                wanted["query_id"] = json.loads(word[len("query_id="):])
            elif word.isdigit() and wanted["count"] is None:
                wanted["count"] = int(word)
            elif word != "*":
                raise self.error("write '<chunked [COUNT] [query_id=Q]'")
        return wanted


# ---------------------------------------------------------------- running

def fresh_dir(path):
    """Empties a work directory, refusing one this tool did not make."""
    if os.path.lexists(path):
        if not os.path.isdir(path):
            raise Failure("work dir %s is not a directory" % path)
        entries = os.listdir(path)
        if entries and WORKDIR_MARKER not in entries:
            raise Failure("refusing to clear %s: not made by this tool" % path)
        shutil.rmtree(path)
    os.makedirs(path)
    open(os.path.join(path, WORKDIR_MARKER), "w").close()


def find_library(name, platform, search):
    if os.path.isabs(name):
        candidates = [name]
    else:
        candidates = []
        for folder in search:
            for base in (name, name + platform.lib_suffix, "lib" + name + platform.lib_suffix):
                candidates.append(os.path.join(folder, base))
    for c in candidates:
        if os.path.isfile(c):
            return c
    raise Failure("library %r not found; tried %s" % (name, ", ".join(candidates)))


class Setup:
    """What a host start needs, made from a run or from the command line."""

    def __init__(self, args, env=(), library=None, logfile=None):
        self.args, self.env, self.library, self.logfile = args, list(env), library, logfile


def start_host(setup, opts, platform, rundir, stderr, search):
    """Prepares rundir and starts the host. Answers (host, tmp dir, variables)."""
    tmpdir = os.path.join(rundir, "tmp")
    os.makedirs(tmpdir)
    host_exe = os.path.abspath(opts.host)
    if setup.library is not None:
        bindir = os.path.join(rundir, "bin")
        os.makedirs(bindir)
        if setup.library:
            lib = find_library(setup.library, platform, search)
            shutil.copy2(lib, os.path.join(bindir, platform.addin_name))
        if not os.path.isfile(host_exe):
            raise Failure("host %s does not exist" % host_exe)
        copy = os.path.join(bindir, os.path.basename(host_exe))
        shutil.copy2(host_exe, copy)
        host_exe = copy
    if setup.logfile is not None:
        with open(os.path.join(tmpdir, platform.log_name), "w", newline="\n") as f:
            f.write(setup.logfile)

    variables = {"tmp": platform.host_path(tmpdir)}
    env = dict(os.environ)
    wine_env = {}
    # A run never touches the log of a real session.
    changes = [("TMP", variables["tmp"])]
    if not platform.windows:
        changes.append(("TMPDIR", variables["tmp"]))
    changes += [(n, None if v is None else expand(v, variables)) for n, v in setup.env]
    for name, value in changes:
        if platform.wine and name in WINE_OWNED_VARS:
            wine_env[name] = value
        elif value is None:
            env.pop(name, None)
        else:
            env[name] = value
    if platform.wine:
        env.setdefault("WINEDEBUG", "-all")
    argv, env = build_command(platform, opts.emulator, host_exe, setup.args, env, wine_env)
    if opts.verbose:
        print("   $ " + " ".join(shlex.quote(a) for a in argv), flush=True)
    try:
        host = Host(argv, env, rundir, stderr)
    except OSError as e:
        raise Failure("cannot start %s: %s" % (argv[0], e))
    return host, tmpdir, variables


class Conversation:
    def __init__(self, path, run, opts, platform, rundir):
        self.path, self.run, self.opts, self.platform, self.rundir = path, run, opts, platform, rundir
        self.timeout = max(opts.timeout, run.timeout)
        self.host = None
        self.line = run.line
        self.discard_rest = False

    def deadline(self):
        return time.monotonic() + self.timeout

    def trace(self, arrow, data):
        if self.opts.verbose:
            print("   %s %s" % (arrow, shorten(data)), flush=True)

    # Reading, with failures that say what was awaited.

    def read_frame(self, awaiting):
        try:
            text = self.host.read_frame(self.deadline())
        except TimedOut:
            raise Failure("no frame within %g s; awaiting %s" % (self.timeout, awaiting))
        except HostEnded as e:
            raise Failure("the host's output ended%s; awaiting %s%s"
                          % (" inside a frame" if e.got else "", awaiting, self.exit_note()))
        self.trace("<-", text)
        return text

    def exit_note(self):
        code = self.host.proc.poll()
        return "" if code is None else " (host exit status %s)" % code

    def read_chunks(self, first, awaiting):
        """Reads the rest of the chunk group that first opens; answers the
        joined text, the chunk count and the group's query_id."""
        head = frame_json(first)
        if not is_chunk(head):
            raise Failure("expected a chunk frame (type %d), received: %s" % (CHUNK_TYPE, shorten(first)))
        count = head.get("count")
        if not isinstance(count, int) or count < 1:
            raise Failure("chunk frame has a bad \"count\": %s" % shorten(first))
        qid = head.get("query_id")
        pieces = []
        frame, value = first, head
        for num in range(1, count + 1):
            if num > 1:
                frame = self.read_frame("chunk %d of %d (%s)" % (num, count, awaiting))
                value = frame_json(frame)
            where = "chunk frame %d of %d" % (num, count)
            if len(frame) > FRAME_LIMIT:
                raise Failure("%s is %d bytes, over %d" % (where, len(frame), FRAME_LIMIT))
            if not is_chunk(value):
                raise Failure("%s is not a chunk: %s" % (where, shorten(frame)))
            problems = []
            if value.get("num") != num:
                problems.append("\"num\" %r, not %d" % (value.get("num"), num))
            if value.get("count") != count:
                problems.append("\"count\" %r, not %d" % (value.get("count"), count))
            if value.get("query_id") != qid:
                problems.append("\"query_id\" %r, not %r" % (value.get("query_id"), qid))
            if not isinstance(value.get("chunk"), str):
                problems.append("no \"chunk\" string")
            if problems:
                raise Failure("%s has %s: %s" % (where, ", ".join(problems), shorten(frame)))
            pieces.append(value["chunk"])
        return "".join(pieces).encode("utf-8", "surrogatepass"), count, qid

    # Matching.

    def mismatch(self, step, received):
        """None when received (bytes) meets the expectation of step, else why not."""
        expected = expand(step.text, self.variables, regex=step.regex)
        if step.regex:
            text = received.decode("utf-8", "surrogateescape")
            if re.fullmatch(expected, text, re.S):
                return None
            return ("text does not match the pattern\n  pattern:  %s\n  received: %s"
                    % (shorten(step.text), shorten(received)))
        wanted = expected.encode("utf-8")
        if received == wanted:
            return None
        return describe_difference("text", wanted, received)

    def chunk_expectation_problem(self, wanted, count, qid):
        if wanted["count"] is not None and count != wanted["count"]:
            return "the message came in %d chunks, not %d" % (count, wanted["count"])
        if wanted["query_id"] is not None and qid != wanted["query_id"]:
            return "the chunks carry \"query_id\" %r, not %r" % (qid, wanted["query_id"])
        return None

    def expect(self, step):
        what = "the line %d expectation" % step.line
        frame = self.read_frame(what)
        if step.chunked is None:
            problem = self.mismatch(step, frame)
        else:
            text, count, qid = self.read_chunks(frame, what)
            problem = self.chunk_expectation_problem(step.chunked, count, qid)
            if not problem:
                problem = self.mismatch(step, text)
                problem = problem and "joined chunks: " + problem
        if problem:
            raise Failure(problem)

    def unordered(self, block):
        messages = []
        for _ in block.items:
            frame = self.read_frame("%d frames for the block of line %d" % (len(block.items), block.line))
            if is_chunk(frame_json(frame)):
                messages.append(("chunks",) + self.read_chunks(frame, "the block of line %d" % block.line))
            else:
                messages.append(("frame", frame))

        def fits(item, message):
            if item.chunked is None:
                return message[0] == "frame" and self.mismatch(item, message[1]) is None
            return (message[0] == "chunks"
                    and self.chunk_expectation_problem(item.chunked, message[2], message[3]) is None
                    and self.mismatch(item, message[1]) is None)

        table = [[fits(item, m) for m in messages] for item in block.items]
        taken = [False] * len(messages)

        def assign(i):
            if i == len(block.items):
                return True
            for j, ok in enumerate(table[i]):
                if ok and not taken[j]:
                    taken[j] = True
                    if assign(i + 1):
                        return True
                    taken[j] = False
            return False

        if not assign(0):
            shown = ["  received: %s%s" % ("[%d chunks joined] " % m[2] if m[0] == "chunks" else "",
                                           shorten(m[1])) for m in messages]
            wanted = ["  line %d: %s%s" % (i.line, "<~ " if i.regex else "< ", shorten(i.text))
                      for i, row in zip(block.items, table) if not any(row)]
            if not wanted:
                wanted = ["  (each expectation fits some frame, but not all at once)"]
            raise Failure("the frames do not meet the unordered block\n"
                          + "\n".join(["unmet:"] + wanted + ["frames:"] + shown))

    def expect_bytes(self, step):
        wanted = step.data + expand(step.text, self.variables).encode("utf-8")
        try:
            got = self.host.read_exact(len(wanted), self.deadline())
        except TimedOut:
            raise Failure("fewer than %d bytes within %g s" % (len(wanted), self.timeout))
        except HostEnded as e:
            got = self.host.unread()
            raise Failure(describe_difference("output (ended early)", wanted, got))
        self.trace("<-", got)
        if got != wanted:
            raise Failure(describe_difference("output", wanted, got))

    def wait_exit(self):
        try:
            return self.host.wait_exit(self.deadline())
        except TimedOut:
            raise Failure("the host did not exit within %g s" % self.timeout)

    def check_exit(self, code, wanted):
        if code != wanted:
            how = "was killed by signal %d" % -code if code < 0 else "exited with status %d" % code
            raise Failure("the host %s, expected status %d" % (how, wanted))

    def shell(self, step):
        # Runs beside the host, which may be blocked on what the command acts
        # on (a dialog box waiting for a key), so it never touches the pipes.
        # Its own process group, so that a timeout ends its children as well.
        proc = subprocess.Popen(["/bin/sh", "-c", step.text], stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                cwd=os.path.dirname(os.path.abspath(self.path)),
                                start_new_session=True)
        try:
            out, _ = proc.communicate(timeout=self.timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
            raise Failure("'shell' still running after %g s" % self.timeout)
        if proc.returncode != 0:
            raise Failure("'shell' ended with status %d:\n%s"
                          % (proc.returncode, out.decode("utf-8", "replace").rstrip()))

    def check_leftovers(self):
        rest = self.host.unread()
        if not rest or self.discard_rest:
            return
        frames = []
        pos = 0
        while pos + 4 <= len(rest) and len(frames) < 3:
            n = int.from_bytes(rest[pos:pos + 4], "little")
            frames.append(shorten(rest[pos + 4:pos + 4 + n]))
            pos += 4 + n
        if not frames:
            frames = ["(stray bytes %s)" % rest.hex()]
        raise Failure("unexpected output after the last expectation (%d bytes):\n%s"
                      % (len(rest), "\n".join("  <- " + f for f in frames)))

    def check_log(self):
        run = self.run
        if run.nolog:
            left = sorted(os.listdir(self.tmpdir))
            if left:
                raise Failure("the host left %s in its empty TMP directory" % ", ".join(left))
        if run.logfile is None:
            return
        self.line = run.log[0].line if run.log else run.line
        path = os.path.join(self.tmpdir, self.platform.log_name)
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as e:
            raise Failure("cannot read the log: %s" % e)
        if data and not data.endswith(b"\n"):
            raise Failure("the log's last line has no line feed: %s" % shorten(data[-80:]))
        lines = data.split(b"\n")[:-1]
        for index, step in enumerate(run.log):
            self.line = step.line
            if index >= len(lines):
                raise Failure("the log has only %d lines" % len(lines))
            problem = self.mismatch(Step(step.line, "", regex=step.kind == "log~", text=step.text),
                                    lines[index])
            if problem:
                raise Failure("log line %d: %s" % (index + 1, problem))
        if len(lines) > len(run.log):
            raise Failure("the log has %d lines, %d expected; line %d: %s"
                          % (len(lines), len(run.log), len(run.log) + 1, shorten(lines[len(run.log)])))

    def execute(self, stderr):
        run = self.run
        search = [d for d in (self.opts.libdir, os.path.dirname(os.path.abspath(self.path))) if d]
        setup = Setup(run.args, run.env, run.library, run.logfile)
        self.line = run.library_line
        self.host, self.tmpdir, self.variables = start_host(
            setup, self.opts, self.platform, self.rundir, stderr, search)
        exited = False
        for step in run.steps:
            self.line = step.line
            kind = step.kind
            if kind == "send":
                data = expand(step.text, self.variables).encode("utf-8")
                self.trace("->", data)
                self.host.send(len(data).to_bytes(4, "little") + data)
            elif kind == "send_bytes":
                data = step.data + expand(step.text, self.variables).encode("utf-8")
                self.trace("->", data)
                self.host.send(data)
            elif kind == "expect":
                self.expect(step)
            elif kind == "unordered":
                self.unordered(step)
            elif kind == "expect_bytes":
                self.expect_bytes(step)
            elif kind == "silence":
                if self.host.output_within(step.seconds):
                    raise Failure("output during %g s of expected silence: %s"
                                  % (step.seconds, shorten(self.host.unread())))
            elif kind == "sleep":
                time.sleep(step.seconds)
            elif kind == "shell":
                self.shell(step)
            elif kind == "close":
                self.host.close_input()
            elif kind == "any":
                self.discard_rest = True
            elif kind == "exit":
                self.check_exit(self.wait_exit(), step.code)
                exited = True
        if not exited:
            self.line = run.steps[-1].line if run.steps else run.line
            self.host.close_input()
            self.check_exit(self.wait_exit(), 0)
        self.check_leftovers()
        self.check_log()


def stderr_tail(path, lines=15):
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8", "replace")
    except OSError:
        return ""
    tail = text.rstrip("\n").split("\n")[-lines:] if text.strip() else []
    return "".join("  | %s\n" % line for line in tail)


def run_file(opts):
    try:
        runs = parse_conversation(opts.run)
    except (OSError, ParseError) as e:
        print("ERROR %s" % e, file=sys.stderr)
        return 2
    platform = Platform(opts.host, opts.emulator)
    own_workdir = opts.workdir is None
    workdir = opts.workdir or tempfile.mkdtemp(prefix="converse-")
    name = os.path.basename(opts.run)
    try:
        fresh_dir(workdir)
    except Failure as e:
        print("ERROR %s" % e, file=sys.stderr)
        return 2
    failed = 0
    for index, run in enumerate(runs, 1):
        label = "%s [%s]" % (name, run.title) if run.title else name
        rundir = os.path.join(workdir, "run%d" % index)
        os.makedirs(rundir)
        errpath = os.path.join(rundir, "stderr.txt")
        conv = Conversation(opts.run, run, opts, platform, rundir)
        try:
            with open(errpath, "wb") as stderr:
                try:
                    conv.execute(stderr)
                finally:
                    if conv.host:
                        conv.host.kill()
            print("PASS %s" % label, flush=True)
        except Failure as e:
            failed += 1
            print("FAIL %s\n%s:%d: %s" % (label, opts.run, conv.line, e), flush=True)
            tail = stderr_tail(errpath)
            if tail:
                print("host's standard error (last lines):\n" + tail, end="", flush=True)
    if failed:
        print("work dir kept: %s" % workdir, flush=True)
    elif own_workdir:
        shutil.rmtree(workdir, ignore_errors=True)
    return 1 if failed else 0


# ---------------------------------------------------------------- hand mode

class Printer(threading.Thread):
    """Prints the host's frames as they arrive; joins chunk groups."""

    def __init__(self, host, opts):
        super().__init__(daemon=True)
        self.host, self.opts = host, opts
        self.group = []

    def out(self, text):
        print(text, flush=True)

    def body(self, text):
        if self.opts.pretty:
            value = frame_json(text)
            if value is not None:
                dumped = json.dumps(value, indent=2)
                return dumped if self.opts.full else "\n".join(
                    shorten(line) for line in dumped.split("\n"))
        return render(text) if self.opts.full else shorten(text, 400)

    def run(self):
        while True:
            try:
                text = self.host.read_frame()
            except HostEnded as e:
                if e.got:
                    self.out("<- (output ended inside a frame: %d of %d bytes)" % (e.got, e.wanted))
                return
            except Failure as e:
                self.out("<- %s" % e)
                return
            value = frame_json(text)
            if is_chunk(value):
                num, count = value.get("num"), value.get("count")
                self.out("<- [chunk %s/%s, %d bytes] %s" % (num, count, len(text), self.body(text)))
                if num == 1:
                    self.group = []
                if num == len(self.group) + 1 and isinstance(value.get("chunk"), str):
                    self.group.append(value["chunk"])
                    if num == count:
                        joined = "".join(self.group).encode("utf-8", "surrogatepass")
                        self.out("<- [%d chunks joined, %d bytes] %s" % (count, len(joined), self.body(joined)))
                        self.group = []
                else:
                    self.out("   (chunk out of sequence)")
                    self.group = []
            else:
                self.out("<- " + self.body(text))


def hand_mode(opts):
    platform = Platform(opts.host, opts.emulator)
    workdir = tempfile.mkdtemp(prefix="converse-")
    args = [] if opts.no_args else (opts.arg or list(DEFAULT_ARGS))
    setup = Setup(args, library=opts.library, logfile="" if opts.log else None)
    host = None
    try:
        search = [d for d in (opts.libdir, os.getcwd()) if d]
        host, tmpdir, variables = start_host(setup, opts, platform, workdir, None, search)
        printer = Printer(host, opts)
        printer.start()
        for line in sys.stdin:
            line = line.rstrip("\n")
            stripped = line.lstrip(" \t")
            if not stripped or stripped.startswith("#"):
                continue
            directive, _, payload = stripped.partition(" ")
            try:
                if directive == ">bytes":
                    data, tail = split_bytes_payload(payload)
                    data += expand(tail, variables).encode("utf-8")
                else:
                    text = payload if directive == ">" else line
                    check_macros(text)
                    data = expand(text, variables).encode("utf-8")
                    data = len(data).to_bytes(4, "little") + data
            except (ParseError, ValueError) as e:
                print("!! %s" % e, flush=True)
                continue
            if opts.verbose:
                print("-> " + shorten(data), flush=True)
            host.send(data)
        host.close_input()
        try:
            code = host.wait_exit(time.monotonic() + opts.timeout)
        except TimedOut:
            print("-- the host did not exit within %g s after its input closed; killed" % opts.timeout)
            host.kill()
            code = host.proc.returncode
        printer.join(EXIT_DRAIN)
        if opts.log:
            path = os.path.join(tmpdir, platform.log_name)
            if os.path.exists(path):
                with open(path, "rb") as f:
                    for entry in f.read().split(b"\n")[:-1]:
                        print("log: " + shorten(entry, 400))
            else:
                print("log: (no log file)")
        print("-- exit status %d" % code, flush=True)
        return 0 if code == 0 else 1
    except Failure as e:
        print("!! %s" % e, file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        return 130
    finally:
        if host:
            host.kill()
        shutil.rmtree(workdir, ignore_errors=True)


# ---------------------------------------------------------------- command line

def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Drive the Marrowel host by hand, or run a conversation file (--run).")
    parser.add_argument("host", metavar="HOST_EXE", help="the host executable")
    parser.add_argument("--run", metavar="FILE.conv", help="run a conversation and check it")
    parser.add_argument("--emulator", action="append", default=[], metavar="CMD",
                        help="command that runs the host (wine, qemu-i386); split like a shell "
                             "would; repeat to add words")
    parser.add_argument("--workdir", metavar="DIR",
                        help="scratch directory, emptied first (default: a temporary one)")
    parser.add_argument("--libdir", metavar="DIR", help="where 'library' names are looked up")
    parser.add_argument("--timeout", type=float, default=DEFAULT_TIMEOUT,
                        help="seconds to wait for each reply and for exit (default %(default)g)")
    parser.add_argument("-v", "--verbose", action="store_true", help="show every frame sent and received")
    hand = parser.add_argument_group("hand mode")
    hand.add_argument("--pretty", action="store_true", help="indent received JSON")
    hand.add_argument("--full", action="store_true", help="never shorten long frames")
    hand.add_argument("--arg", action="append", metavar="ARG",
                      help="argument for the host instead of %s" % DEFAULT_ARGS[0])
    hand.add_argument("--no-args", action="store_true", help="start the host without arguments")
    hand.add_argument("--log", action="store_true",
                      help="give the host an empty log file and print it at the end")
    hand.add_argument("--library", metavar="LIB",
                      help="run a copy of the host with LIB beside it as its add-in library")
    opts = parser.parse_args(argv)
    opts.emulator = [word for value in opts.emulator for word in shlex.split(value)]
    return run_file(opts) if opts.run else hand_mode(opts)


if __name__ == "__main__":
    sys.exit(main())
