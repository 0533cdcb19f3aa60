#!/usr/bin/python3
"""kinroll-web as someone else on the same computer would try it, without the
page's address: probes, a flood of header lines, 200 slow connections beside
the clerk's page, the end with slow clients connected, kill -9 in the middle
of a job, a second server on the same port, the any-address, open
redirects, cookies, and how many finished jobs are kept.

usage: web_security.py KINROLL_WEB EXAMPLES
Loopback only; every wait is bounded."""
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

WEB, EXAMPLES = sys.argv[1:3]
TOP = tempfile.mkdtemp(prefix="kinroll-websec-")
# What the servers remember goes here, not into the user's folders.
os.environ["XDG_CONFIG_HOME"] = os.path.join(TOP, "config")
COOKIES = []  # every Set-Cookie header seen: there must be none


class Server:
    """One kinroll-web with its own TMPDIR and (shared when given) state folder."""

    def __init__(self, *args, state=None, port="0"):
        self.tmp = tempfile.mkdtemp(dir=TOP)
        self.state = state or tempfile.mkdtemp(dir=TOP)
        env = dict(os.environ, TMPDIR=self.tmp, XDG_STATE_HOME=self.state)
        self.proc = subprocess.Popen([WEB, "--port", port, *args], env=env, text=True,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.proc.stdout.readline()
        url = self.proc.stdout.readline().strip()
        m = re.fullmatch(r"http://127\.0\.0\.1:(\d+)(/[0-9a-f]{32})/", url)
        assert m, "no address printed: %r %s" % (url, self.proc.stderr.read())
        self.port, self.base = int(m.group(1)), m.group(2)

    def memory_kb(self, what="VmHWM"):
        with open("/proc/%d/status" % self.proc.pid) as f:
            return int(next(l for l in f if l.startswith(what)).split()[1])

    def job_folders(self):
        return [os.path.join(r, d) for r, ds, _ in os.walk(self.tmp) for d in ds
                if re.fullmatch("[0-9a-f]{32}", d)]

    def stop(self, sig=signal.SIGTERM):
        self.proc.send_signal(sig)
        try:
            return self.proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return self.proc.wait()


def request(port, raw, timeout=10):
    """Sends `raw` bytes on a new connection; the answer's status, headers
    (lower-case names) and body."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(raw)
        s.shutdown(socket.SHUT_WR)
        data = b""
        while chunk := s.recv(65536):
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    if "set-cookie" in headers:
        COOKIES.append(headers["set-cookie"])
    return int(lines[0].split()[1]), headers, body


def get(server, path, headers=""):
    raw = "GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nConnection: close\r\n%s\r\n" % (
        path, server.port, headers)
    return request(server.port, raw.encode("latin-1"))


def post_job(server, files):
    """Posts the form with `files` (name, bytes); the job's address."""
    boundary = "kinroll-sec-boundary"
    body = b""
    for name, data in files:
        body += ("--%s\r\nContent-Disposition: form-data; name=\"printouts\"; filename=\"%s\"\r\n"
                 "\r\n" % (boundary, name)).encode() + data + b"\r\n"
    body += ("--%s--\r\n" % boundary).encode()
    head = ("POST %s/jobs HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nConnection: close\r\n"
            "Content-Type: multipart/form-data; boundary=%s\r\nContent-Length: %d\r\n\r\n"
            % (server.base, server.port, boundary, len(body)))
    status, headers, _ = request(server.port, head.encode() + body)
    assert status == 303, status
    return headers["location"]


def wait_for(what, test, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if test():
            return
        time.sleep(0.02)
    raise AssertionError("timed out waiting for " + what)


def pid_gone(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return ") Z " in f.read()  # ended, not yet reaped by whoever adopted it
    except FileNotFoundError:
        return True


def check_probes(server):
    """Without the token: the same bare 404 for every path, no redirect."""
    wrong = server.base[:-1] + ("0" if server.base[-1] != "0" else "1")
    for path in ["/", "/jobs", wrong + "/", server.base + "x/", "//evil.example/",
                 "/\\evil.example", "//evil.example/" + server.base[1:] + "/",
                 "/%2F" + server.base[1:] + "/"]:
        status, headers, body = get(server, path)
        assert (status, body) == (404, b"Not Found\n"), (path, status, body)
        assert "location" not in headers and b"kinroll" not in body.lower(), path
    status, headers, _ = get(server, server.base)
    assert (status, headers["location"]) == (303, server.base + "/"), headers
    status, headers, _ = get(server, server.base + "/")
    assert status == 200 and headers["referrer-policy"] == "no-referrer", headers
    print("ok: probes get a bare 404; redirects go to the page's own fixed paths")


def check_header_flood(server):
    """200 MB of header lines: 431 and a closed connection; memory stays put."""
    before = server.memory_kb()
    s = socket.create_connection(("127.0.0.1", server.port), timeout=10)
    answer = []
    reader = threading.Thread(target=lambda: answer.append(s.recv(4096)))
    reader.start()
    s.sendall(("GET %s/ HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % (server.base, server.port)).encode())
    lines = (b"X-Fill: " + b"a" * 1000 + b"\r\n") * 64
    sent = 0
    try:
        while sent < 200 << 20:
            s.sendall(lines)
            sent += len(lines)
    except OSError:
        pass
    reader.join(10)
    s.close()
    assert answer and re.match(rb"HTTP/1\.1 (431|413) ", answer[0]), answer
    assert sent < 200 << 20, "the server read all 200 MB"
    grown = server.memory_kb() - before
    assert grown < 16 << 10, "grew by %d kB" % grown
    print("ok: a header flood is answered %s after %d kB, peak memory +%d kB"
          % (answer[0][9:12].decode(), sent >> 10, grown))


def check_slow_clients(server):
    """200 connections sending one byte every 3 s, or nothing: a page on a
    fresh connection still comes in under a second."""
    slow = []
    for i in range(200):
        s = socket.create_connection(("127.0.0.1", server.port), timeout=10)
        if i % 2 == 0:
            s.sendall(b"G")
        slow.append(s)
    stop = threading.Event()

    def dribble():
        while not stop.wait(3):
            for s in slow[::2]:
                try:
                    s.sendall(b"E")
                except OSError:
                    pass
    t = threading.Thread(target=dribble)
    t.start()
    worst = 0
    try:
        for _ in range(8):
            t0 = time.monotonic()
            status, _, body = get(server, server.base + "/")
            worst = max(worst, time.monotonic() - t0)
            assert status == 200 and b"<form" in body
            time.sleep(0.5)
        assert worst < 1.0, worst
        print("ok: with 200 slow connections the page came in %.3f s at worst" % worst)
        # The end within 2 s whatever is connected; every job folder goes.
        post_job(server, [("mis231.txt", open(os.path.join(EXAMPLES, "mis231.txt"), "rb").read())])
        t0 = time.monotonic()
        status = server.stop()
        took = time.monotonic() - t0
        assert status == 0 and took < 2.0, (status, took)
        assert server.job_folders() == [] and os.listdir(server.tmp) == [], os.listdir(server.tmp)
        print("ok: SIGTERM with 200 slow clients ended it in %.2f s, nothing left" % took)
    finally:
        stop.set()
        t.join()
        for s in slow:
            s.close()


def check_kill9(state):
    """kill -9 in the middle of a job: the job's program dies with it, and
    the next start removes the folder it left."""
    script = os.path.join(TOP, "slow")
    pids = os.path.join(TOP, "pids")
    with open(script, "w") as f:
        f.write("#!/bin/sh\necho $$ >> %s\nexec sleep 60\n" % pids)
    os.chmod(script, 0o700)
    server = Server("--kinroll", script, state=state)
    post_job(server, [("mis231.txt", b"DIRECTORY OF MEMBERS (MIS 231)\n")])
    wait_for("the job's program", lambda: os.path.exists(pids) and open(pids).read())
    child = int(open(pids).read().split()[0])
    folders = server.job_folders()
    assert len(folders) == 1, folders
    server.stop(signal.SIGKILL)
    wait_for("the job's program to die", lambda: pid_gone(child), seconds=1)
    assert os.path.isdir(folders[0])
    again = Server(state=state)
    assert not os.path.exists(folders[0]), "the earlier folder is still there"
    print("ok: kill -9 took the job's program with it; the next start removed its folder")
    return again


def check_second_instance(server):
    env = dict(os.environ, TMPDIR=tempfile.mkdtemp(dir=TOP),
               XDG_STATE_HOME=tempfile.mkdtemp(dir=TOP))
    run = subprocess.run([WEB, "--port", str(server.port)], env=env, capture_output=True,
                         text=True, timeout=20)
    assert run.returncode == 2, run
    assert run.stderr == ("kinroll-web: port %d is in use (is kinroll-web already running? "
                          "kinroll-web --open opens it)\n" % server.port), run.stderr
    for _ in range(20):
        assert get(server, server.base + "/")[0] == 200
    print("ok: a second server on the port is refused; the first answers every request")


def check_any_address():
    for a in ["0", "0x0", "0.0.0.0", "00.0.0.0", "0.0", "::", "::0", "0::0", "0:0:0:0:0:0:0:0",
              "::ffff:0.0.0.0", "::ffff:0:0", "::0.0.0.0"]:
        run = subprocess.run([WEB, "--listen", a, "--port", "0"], capture_output=True, text=True,
                             timeout=20, env=dict(os.environ, XDG_STATE_HOME=TOP))
        assert run.returncode == 2 and "not the any-address " + a + "\n" in run.stderr, (a, run)
    print("ok: every spelling of the any-address is refused")


def check_finished_jobs(server):
    """At most 8 finished jobs are kept; the oldest go first."""
    directory = open(os.path.join(EXAMPLES, "mis231.txt"), "rb").read()
    jobs = []
    for _ in range(10):
        jobs.append(post_job(server, [("mis231.txt", directory)]))
        wait_for("a job's results",
                 lambda: b"<h1>Results" in get(server, jobs[-1])[2] and
                 get(server, jobs[-1] + "/archive.zip")[0] == 200, seconds=30)
    wait_for("the oldest jobs to go", lambda: len(server.job_folders()) == 8)
    assert [get(server, j)[0] for j in jobs] == [404] * 2 + [200] * 8
    print("ok: of 10 finished jobs the newest 8 are kept")


def main():
    try:
        server = Server()
        check_probes(server)
        check_header_flood(server)
        check_second_instance(server)
        check_slow_clients(server)
        check_any_address()
        server = check_kill9(server.state)
        check_finished_jobs(server)
        server.stop()
        assert COOKIES == [], COOKIES
        print("ok: no Set-Cookie header in any answer")
    finally:
        subprocess.run(["pkill", "-KILL", "-f", os.path.join(TOP, "slow")])
        shutil.rmtree(TOP, ignore_errors=True)


main()
