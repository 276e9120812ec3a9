#!/usr/bin/python3
"""Loopback SMTP server for the mail tests.

Listens on 127.0.0.1 on a free port and prints "PORT <n>" on its first output line once it
accepts connections. Modes:
  smtp      a real SMTP server (aiosmtpd); every accepted message is recorded in the record
            folder as msg-<n>.envelope (sender line, then one line per accepted recipient)
            and msg-<n>.data (the message bytes as received, dots restored), and
            msg-<n>.parsed: what Python's email package reads in it (see parsed_lines);
            --refuse ADDRESS makes it refuse that recipient (repeatable).
  greeting  greets with --code instead of 220, answers QUIT with 221.
  split     greets and answers HELO with replies cut into several TCP segments and a
            multi-line HELO reply, answers QUIT with 221.
  refuse    greets with 220, then answers 500 to every command.
  trickle   sends a greeting that never ends, one byte every 100 ms.
  endless   sends a multi-line greeting that never ends, as fast as the client reads.
It runs until it is killed.
"""
import argparse
import asyncio
import datetime
import email
import email.policy
import os
import sys

LOOPBACK = "127.0.0.1"
SEGMENT_PAUSE_S = 0.05


def escaped(text):
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


def parsed_lines(data):
    """What a mail program makes of a message: one "key<TAB>value" line each (values escaped:
    backslash, CR and LF), the keys: date (the instant in UTC, ISO 8601), date-offset (minutes
    east of UTC), to-name and to-address (once per recipient), subject, message-id,
    mime-version, content-type, charset, body (decoded), defects (what the parser found
    wrong in any header or the body, one line each)."""
    lines = []
    try:
        msg = email.message_from_bytes(data, policy=email.policy.default)
        date = msg["date"]
        if date is not None and date.datetime is not None and date.datetime.tzinfo is not None:
            stamp = date.datetime
            utc = stamp.astimezone(datetime.timezone.utc)
            lines.append(("date", utc.strftime("%Y-%m-%dT%H:%M:%S")))
            lines.append(("date-offset", str(int(stamp.utcoffset().total_seconds() // 60))))
        to = msg["to"]
        for address in (to.addresses if to is not None else ()):
            lines.append(("to-name", address.display_name))
            lines.append(("to-address", address.addr_spec))
        for key in ("subject", "message-id", "mime-version"):
            if msg[key] is not None:
                lines.append((key, str(msg[key])))
        lines.append(("content-type", msg.get_content_type()))
        lines.append(("charset", str(msg.get_content_charset())))
        lines.append(("body", msg.get_content()))
        for name, value in msg.items():
            for defect in getattr(value, "defects", ()):
                lines.append(("defects", "%s: %s" % (name, defect)))
        for defect in msg.defects:
            lines.append(("defects", str(defect)))
    except Exception as error:  # the test shows what the parser could not take
        lines.append(("defects", "parse failed: %r" % (error,)))
    return "".join("%s\t%s\n" % (key, escaped(value)) for key, value in lines)


class RecordingHandler:
    def __init__(self, record_dir, refused):
        self.record_dir = record_dir
        self.refused = set(refused)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 Recipient refused"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.record_dir, "msg-%d" % self.count)
        with open(base + ".data", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".parsed", "w", encoding="utf-8") as f:
            f.write(parsed_lines(envelope.original_content))
        lines = [envelope.mail_from] + list(envelope.rcpt_tos)
        # The envelope is written last: its presence means the message is complete.
        with open(base + ".envelope.tmp", "w") as f:
            f.write("\n".join(lines) + "\n")
        os.rename(base + ".envelope.tmp", base + ".envelope")
        return "250 Message accepted"


async def answer_commands(reader, writer, answers):
    while True:
        line = await reader.readline()
        if not line:
            break
        verb = line.split(b" ")[0].strip().upper()
        for piece in answers.get(verb, [b"500 unknown\r\n"]):
            writer.write(piece)
            await writer.drain()
            await asyncio.sleep(SEGMENT_PAUSE_S)
        if verb == b"QUIT":
            break
    writer.close()


def greeting_client(code):
    async def serve(reader, writer):
        writer.write(b"%d Service not available\r\n" % code)
        await writer.drain()
        await answer_commands(reader, writer, {b"QUIT": [b"221 Bye\r\n"]})
    return serve


async def split_client(reader, writer):
    for piece in (b"2", b"20 ready", b"\r\n"):
        writer.write(piece)
        await writer.drain()
        await asyncio.sleep(SEGMENT_PAUSE_S)
    answers = {
        b"HELO": [b"250-first line\r\n25", b"0-second line\r\n", b"250 last line\r\n"],
        b"QUIT": [b"22", b"1 Bye\r\n"],
    }
    await answer_commands(reader, writer, answers)


async def refusing_client(reader, writer):
    writer.write(b"220 ready\r\n")
    await writer.drain()
    await answer_commands(reader, writer, {})


def endless_client(pause_s, piece):
    async def serve(reader, writer):
        try:
            writer.write(b"220-")
            while True:
                writer.write(piece)
                await writer.drain()
                await asyncio.sleep(pause_s)
        except (ConnectionError, OSError):
            pass
        writer.close()
    return serve


CLIENTS = {
    "split": lambda args: split_client,
    "refuse": lambda args: refusing_client,
    "trickle": lambda args: endless_client(0.1, b"2"),
    "endless": lambda args: endless_client(0, b"220-the greeting goes on\r\n" * 64),
}


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=["smtp", "greeting"] + list(CLIENTS), default="smtp")
    parser.add_argument("--record-dir", default=".")
    parser.add_argument("--refuse", action="append", default=[])
    parser.add_argument("--code", type=int, default=554)
    args = parser.parse_args()

    loop = asyncio.get_running_loop()
    if args.mode == "smtp":
        from aiosmtpd.smtp import SMTP

        handler = RecordingHandler(args.record_dir, args.refuse)
        server = await loop.create_server(
            lambda: SMTP(handler, hostname="quirn-test", loop=loop), LOOPBACK, 0)
    elif args.mode == "greeting":
        server = await asyncio.start_server(greeting_client(args.code), LOOPBACK, 0)
    else:
        server = await asyncio.start_server(CLIENTS[args.mode](args), LOOPBACK, 0)

    port = server.sockets[0].getsockname()[1]
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
