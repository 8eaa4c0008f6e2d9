#!/usr/bin/env python3
"""Drives `vellum --dap` over its standard input and output as an editor
would: a whole debugging session of a console script (session), or
malformed and out-of-order requests, each of which must get an error
response without a crash or hang (bad-requests).

usage: dap_client.py VELLUM session|bad-requests
"""

import json
import queue
import subprocess
import sys
import tempfile
import threading
from pathlib import Path

TIMEOUT = 30


class Client:
    def __init__(self, vellum):
        self.process = subprocess.Popen([vellum, "--dap"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self.messages = queue.Queue()
        self.seq = 0
        self.seen = []
        self.pending = []  # messages taken from the stream that no one has asked for yet
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        stream = self.process.stdout
        while True:
            headers = {}
            while True:
                line = stream.readline()
                if not line:
                    self.messages.put(None)
                    return
                line = line.strip()
                if not line:
                    break
                name, _, value = line.decode("ascii").partition(":")
                headers[name.strip().lower()] = value.strip()
            body = stream.read(int(headers["content-length"]))
            self.messages.put(json.loads(body))

    def raw(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def send(self, command, arguments=None):
        self.seq += 1
        message = {"seq": self.seq, "type": "request", "command": command}
        if arguments is not None:
            message["arguments"] = arguments
        body = json.dumps(message).encode()
        self.raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        return self.seq

    def next_message(self):
        try:
            message = self.messages.get(timeout=TIMEOUT)
        except queue.Empty:
            sys.exit("no message from the server within %d s; so far: %s" % (TIMEOUT, self.seen[-5:]))
        if message is None:
            sys.exit("the server closed its output; stderr: %s" % self.process.stderr.read().decode())
        self.seen.append(message)
        return message

    def take(self, predicate):
        """The first message, held back or still to come, that predicate accepts."""
        for i, message in enumerate(self.pending):
            if predicate(message):
                return self.pending.pop(i)
        while True:
            message = self.next_message()
            if predicate(message):
                return message
            self.pending.append(message)

    def event(self, name):
        return self.take(lambda m: m.get("type") == "event" and m.get("event") == name)

    def request(self, command, arguments=None, success=True):
        seq = self.send(command, arguments)
        response = self.take(lambda m: m.get("type") == "response" and m.get("request_seq") == seq)
        check(response["command"] == command, "response names its command", response)
        check(response["success"] == success, "%s %s" % (command, "succeeds" if success else "fails"), response)
        return response.get("body", {})

    def output(self):
        """Everything the output events carried so far, by category."""
        texts = {}
        for message in self.seen:
            if message.get("type") == "event" and message.get("event") == "output":
                body = message["body"]
                texts[body["category"]] = texts.get(body["category"], "") + body["output"]
        return texts

    def end(self):
        self.request("disconnect")
        try:
            status = self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            sys.exit("the server did not end after disconnect")
        check(status == 0, "the server ends with status 0", status)


failures = []


def check(condition, what, detail=None):
    if not condition:
        failures.append("%s: %s" % (what, json.dumps(detail)[:800] if detail is not None else ""))
        print("FAIL", failures[-1])


SCRIPT = """function inner(t)
  var n = t.count + 1
  return n
end
var data = {count = 2, nested = {deep = {x = 1}}}
data.loop = data
MsgBox("hello")
var result = inner(data)
MsgBox("result " & result)
var broken = data.nothing.x
MsgBox("not reached")
"""


def variables(client, reference, **paging):
    """The variables of a reference by their names."""
    items = client.request("variables", {"variablesReference": reference, **paging})["variables"]
    return {item["name"]: item for item in items}


def session(vellum):
    with tempfile.TemporaryDirectory() as folder:
        script = Path(folder) / "app.q9c"
        script.write_text(SCRIPT)
        client = Client(vellum)
        capabilities = client.request("initialize", {"adapterID": "vellum", "linesStartAt1": True})
        check(capabilities.get("supportsConditionalBreakpoints"), "conditional breakpoints", capabilities)
        client.request("launch", {"program": str(script), "console": True})
        client.event("initialized")
        answer = client.request("setBreakpoints", {"source": {"path": str(script)}, "breakpoints": [{"line": 2}]})
        check(answer["breakpoints"][0]["verified"], "the breakpoint is verified", answer)
        client.request("setExceptionBreakpoints", {"filters": ["errors"]})
        client.request("configurationDone")

        stopped = client.event("stopped")["body"]
        check(stopped["reason"] == "breakpoint", "stops at the breakpoint", stopped)
        threads = client.request("threads")["threads"]
        check(threads == [{"id": 1, "name": "main"}], "one thread", threads)
        trace = client.request("stackTrace", {"threadId": 1})
        frames = trace["stackFrames"]
        check(trace["totalFrames"] == 2 and len(frames) == 2, "two frames", trace)
        check(frames[0]["name"] == "inner" and frames[0]["line"] == 2 and frames[0]["column"] == 3,
              "the function's frame at the statement", frames[0])
        check(Path(frames[0]["source"]["path"]).resolve() == script.resolve(), "the frame's source", frames[0])
        check(frames[1]["name"] == "(main)" and frames[1]["line"] == 8, "the top level is a frame", frames[1])
        paged = client.request("stackTrace", {"threadId": 1, "startFrame": 1, "levels": 1})["stackFrames"]
        check([f["line"] for f in paged] == [8], "stack pages", paged)

        scopes = client.request("scopes", {"frameId": frames[0]["id"]})["scopes"]
        check([s["name"] for s in scopes] == ["Locals", "Globals"], "locals and globals", scopes)
        local = variables(client, scopes[0]["variablesReference"])
        check(set(local) == {"this", "t", "n"} and local["n"]["value"] == "null", "the locals", local)
        table = variables(client, local["t"]["variablesReference"])
        check(table["count"]["value"] == "2" and table["count"]["type"] == "num", "a number is 2", table)
        check(table["loop"]["variablesReference"] == local["t"]["variablesReference"], "the cycle leads back", table)
        deep = variables(client, table["nested"]["variablesReference"])
        x = variables(client, deep["deep"]["variablesReference"])
        check(x["x"]["value"] == "1", "a table three deep", x)
        page = variables(client, local["t"]["variablesReference"], start=1, count=1)
        check(len(page) == 1, "variables page", page)
        globals_ = variables(client, scopes[1]["variablesReference"])
        check(globals_.get("data", {}).get("type") == "table" and "MsgBox" in globals_, "the globals", list(globals_)[:20])

        result = client.request("evaluate", {"expression": "t.count * 10", "frameId": frames[0]["id"]})
        check(result["result"] == "20", "evaluates in the frame", result)
        text = client.request("evaluate", {"expression": "\"a\" & data.count", "frameId": frames[1]["id"]})
        check(text["result"] == '"a2"', "a string as the language writes it", text)
        client.request("evaluate", {"expression": "nosuch", "frameId": frames[0]["id"]}, success=False)

        # next reaches line 3, step out lands on the caller's next statement,
        # step in goes to the next statement
        for command, expected in (("next", 3), ("stepOut", 9), ("stepIn", 10)):
            client.request(command, {"threadId": 1})
            stopped = client.event("stopped")["body"]
            line = client.request("stackTrace", {"threadId": 1})["stackFrames"][0]["line"]
            check(stopped["reason"] == "step" and line == expected, command, [stopped, line])

        client.request("continue", {"threadId": 1})
        stopped = client.event("stopped")["body"]
        check(stopped["reason"] == "exception" and stopped.get("text"), "stops at the error with its message", stopped)
        frame = client.request("stackTrace", {"threadId": 1})["stackFrames"][0]
        check(frame["line"] == 10, "the error's line", frame)
        client.request("continue", {"threadId": 1})
        exited = client.event("exited")["body"]
        check(exited["exitCode"] == 1, "an error box makes the exit code 1", exited)
        client.event("terminated")
        output = client.output()
        check(output.get("stdout") == "hello\nresult 3\n", "the message boxes as output", output)
        check("Vellum Error: " + stopped["text"] in output.get("stderr", "") and "(line 10," in output["stderr"],
              "the error box as output, with the stop's message", output)
        client.end()


def bad_requests(vellum):
    client = Client(vellum)
    # Each malformed message is answered with an error, bad JSON saying so.
    for data, what, named in ((b"Content-Length: abc\r\n\r\n", "a bad header", ""),
                              (b"Content-Length: 9\r\n\r\n{not json", "bad JSON", "JSON"),
                              (b"Content-Length: 2\r\n\r\n[]", "a JSON array", ""),
                              (b'Content-Length: 16\r\n\r\n{"type":"event"}', "a message that is no request", "")):
        client.raw(data)
        response = client.next_message()
        check(response["type"] == "response" and not response["success"] and named in response.get("message", ""),
              what + " is answered", response)
    client.request("stackTrace", {"threadId": 1}, success=False)
    client.request("initialize", {"adapterID": "vellum"})
    for command, arguments in (("initialize", {"adapterID": "vellum"}), ("configurationDone", None),
                               ("setBreakpoints", {"source": {"path": "/x.q9c"}, "breakpoints": [{"line": 1}]}),
                               ("launch", {}), ("launch", {"program": "/nonexistent/folder/app.q9c"}),
                               ("launch", {"program": 12}), ("noSuchCommand", None)):
        client.request(command, arguments, success=False)
    with tempfile.TemporaryDirectory() as folder:
        script = Path(folder) / "app.q9c"
        script.write_text("MsgBox(1)\n")
        client.request("launch", {"program": str(script), "console": True})
        for command, arguments in (("launch", {"program": str(script), "console": True}),
                                   ("stackTrace", {"threadId": 1}), ("variables", {"variablesReference": 99}),
                                   ("continue", {"threadId": 1}), ("pause", {"threadId": 1})):
            client.request(command, arguments, success=False)
        answer = client.request("setBreakpoints", {"source": {"path": "/elsewhere/x.q9c"}, "breakpoints": [{"line": 1}]})
        check(not answer["breakpoints"][0]["verified"], "a file outside the device folder", answer)
        client.end()


def main():
    vellum, which = sys.argv[1], sys.argv[2]
    {"session": session, "bad-requests": bad_requests}[which](vellum)
    if failures:
        sys.exit("%d checks failed" % len(failures))
    print("ok")


if __name__ == "__main__":
    main()
