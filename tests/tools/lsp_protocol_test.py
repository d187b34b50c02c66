"""cognexa lsp against bad and hostile input, through Debian's python3-pylsp-jsonrpc.

usage: /usr/bin/python3 lsp_protocol_test.py SCRATCH_FOLDER [EMULATOR...] TOOL
Every case starts a server of its own; the run fails (status 1) on anything unexpected.
"""
import os
import queue
import subprocess
import sys
import threading

from pylsp_jsonrpc.streams import JsonRpcStreamReader, JsonRpcStreamWriter

# Generous: under Wine a start takes seconds. Nothing waits this long unless it is broken.
TIMEOUT = 120
PARSE_ERROR, INVALID_REQUEST, METHOD_NOT_FOUND, NOT_INITIALIZED = -32700, -32600, -32601, -32002

SCRATCH = sys.argv[1]
COMMAND = sys.argv[2:] + ['lsp']


class Server:
    def __init__(self, workspace=None):
        self.process = subprocess.Popen(COMMAND, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, cwd=SCRATCH)
        self.writer = JsonRpcStreamWriter(self.process.stdin)
        self.messages = queue.Queue()
        self.notifications = []
        reader = JsonRpcStreamReader(self.process.stdout)
        threading.Thread(target=reader.listen, args=(self.messages.put,), daemon=True).start()
        self.workspace = workspace

    def send(self, message):
        self.writer.write(dict(message, jsonrpc='2.0'))

    def raw(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def request(self, identity, method, params=None):
        self.send({'id': identity, 'method': method, 'params': params or {}})
        return self.response(identity)

    def response(self, identity):
        while True:
            message = self.messages.get(timeout=TIMEOUT)
            if 'method' in message:
                self.notifications.append(message)
            elif message.get('id') == identity:
                return message

    def initialize(self):
        params = {'capabilities': {}}
        if self.workspace:
            params['rootUri'] = 'file://' + self.workspace
        answer = self.request(1, 'initialize', params)
        expect('result' in answer, 'initialize answered ' + repr(answer))
        self.send({'method': 'initialized', 'params': {}})

    def finish(self):
        """Exit status after closing the input."""
        try:
            self.process.stdin.close()
        except BrokenPipeError:
            pass
        return self.process.wait(timeout=TIMEOUT)

    def diagnostics_for(self, suffix):
        while True:
            for message in self.notifications:
                if message.get('method') == 'textDocument/publishDiagnostics' and \
                        message['params']['uri'].endswith(suffix):
                    return message['params']['diagnostics']
            self.notifications.append(self.messages.get(timeout=TIMEOUT))


failures = []


def expect(condition, text):
    if not condition:
        raise AssertionError(text)


def error_code(answer):
    return answer.get('error', {}).get('code')


def requests_before_initialize_are_refused():
    server = Server()
    expect(error_code(server.request(7, 'textDocument/hover', {})) == NOT_INITIALIZED, 'hover before initialize')
    server.initialize()
    expect(error_code(server.request(8, 'initialize', {})) == INVALID_REQUEST, 'a second initialize')
    server.finish()


def unknown_methods_get_the_protocol_error():
    server = Server()
    server.initialize()
    server.send({'method': 'custom/notification', 'params': {}})
    expect(error_code(server.request(2, 'custom/request')) == METHOD_NOT_FOUND, 'unknown request')
    expect(error_code(server.request(3, '$/unknown')) == METHOD_NOT_FOUND, 'unknown $/ request')
    server.finish()


def broken_framing_is_skipped():
    server = Server()
    server.initialize()
    server.raw(b'X-Nothing: 1\r\n\r\n')                        # no Content-Length
    server.raw(b'Content-Length: many\r\n\r\n')                  # not a number
    server.raw(b'Content-Length: 99999999999999999999\r\n\r\n')  # far too long
    server.raw(b'H' * 100000 + b'\r\n\r\n')                      # an endless header line
    expect('result' in server.request(4, 'workspace/symbol', {'query': ''}), 'answer after broken framing')
    server.finish()


def invalid_json_and_utf8_get_parse_errors():
    server = Server()
    server.initialize()
    for body in (b'{"jsonrpc": "2.0", "id": 5, "method"', b'{"jsonrpc":"2.0","id":5,"method":"x\xff\xfe"}', b'[1, 2]'):
        server.raw(b'Content-Length: %d\r\n\r\n' % len(body) + body)
        answer = server.response(None)
        expect(error_code(answer) in (PARSE_ERROR, INVALID_REQUEST), 'answer to %r: %r' % (body, answer))
    answer = server.request(6, 'textDocument/hover', {'textDocument': {}})
    expect(error_code(answer) == -32602, 'hover with bad parameters: %r' % answer)
    expect('result' in server.request(7, 'shutdown'), 'shutdown after bad input')
    server.finish()


def shutdown_then_exit_ends_with_status_0():
    server = Server()
    server.initialize()
    expect(server.request(2, 'shutdown')['result'] is None, 'shutdown result')
    expect(error_code(server.request(3, 'workspace/symbol', {'query': ''})) == INVALID_REQUEST,
           'a request after shutdown')
    server.send({'method': 'exit'})
    expect(server.process.wait(timeout=TIMEOUT) == 0, 'exit after shutdown')


def exit_without_shutdown_ends_with_status_1():
    server = Server()
    server.initialize()
    server.send({'method': 'exit'})
    expect(server.process.wait(timeout=TIMEOUT) == 1, 'exit without shutdown')


def a_short_body_ends_the_server():
    server = Server()
    server.initialize()
    server.raw(b'Content-Length: 100\r\n\r\n{"jsonrpc":')
    expect(server.finish() == 1, 'end of input inside a body')


def a_ten_megabyte_file_is_checked():
    workspace = os.path.join(SCRATCH, 'big')
    os.makedirs(workspace, exist_ok=True)
    lines = ['<?xml version="1.0"?>', '<Equations>']
    index = 0
    size = 0
    # Long equations: the registry's name hash sums bytes, so a file of a hundred thousand
    # short names measures that hash rather than the server.
    body = ' + '.join('Unit.Speed * %d' % term for term in range(400))
    while size < 10 * 1024 * 1024:
        lines.append('  <E%d>%s</E%d>' % (index, body, index))
        size += len(lines[-1]) + 1
        index += 1
    lines += ['  <Last>Unit.Speed +</Last>', '</Equations>', '']
    text = '\n'.join(lines)
    uri = 'file://' + os.path.join(workspace, 'Big.xml')
    server = Server(workspace)
    server.initialize()
    server.send({'method': 'textDocument/didOpen',
                 'params': {'textDocument': {'uri': uri, 'languageId': 'xml', 'version': 1, 'text': text}}})
    diagnostics = server.diagnostics_for('Big.xml')
    expect(len(diagnostics) == 1 and diagnostics[0]['range']['start']['line'] == len(lines) - 3,
           'diagnostics of the big file: %r' % diagnostics[:3])
    symbols = server.request(2, 'textDocument/documentSymbol', {'textDocument': {'uri': uri}})['result']
    expect(len(symbols) == index + 1, '%d symbols, wanted %d' % (len(symbols), index + 1))
    server.finish()


CASES = [requests_before_initialize_are_refused, unknown_methods_get_the_protocol_error,
         broken_framing_is_skipped, invalid_json_and_utf8_get_parse_errors,
         shutdown_then_exit_ends_with_status_0, exit_without_shutdown_ends_with_status_1,
         a_short_body_ends_the_server, a_ten_megabyte_file_is_checked]

for case in CASES:
    try:
        case()
        print('ok   ' + case.__name__)
    except Exception as problem:  # every failure is reported, then the next case runs
        failures.append(case.__name__)
        print('FAIL %s: %r' % (case.__name__, problem))
sys.exit(1 if failures else 0)
