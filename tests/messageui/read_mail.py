"""Reads a mail file as a mail reader would and prints what it found as one JSON object.

The text body comes back with its CRLF line breaks made LF, as the composer was given it.
"""

import base64
import email
import email.policy
import json
import re
import sys


def defects_of(message):
    found = [type(d).__name__ for d in message.defects]
    for part in message.walk():
        if part is not message:
            found += [type(d).__name__ for d in part.defects]
    return found


def split_encoded_words(data):
    """The encoded-words of the top-level header that do not hold whole UTF-8 characters."""
    head = data.split(b"\r\n\r\n", 1)[0].decode("ascii", "replace")
    split = []
    for word in re.findall(r"=\?utf-8\?B\?([A-Za-z0-9+/=]*)\?=", head):
        try:
            base64.b64decode(word).decode("utf-8")
        except UnicodeDecodeError:
            split.append(word)
    return split


def header(message, name):
    value = message[name]
    return None if value is None else str(value)


def main(path):
    with open(path, "rb") as f:
        data = f.read()
    message = email.message_from_bytes(data, policy=email.policy.default)
    body = message.get_body(preferencelist=("plain", "html"))
    date = message["date"]
    print(json.dumps({
        "from": header(message, "from"),
        "to": header(message, "to"),
        "cc": header(message, "cc"),
        "bcc": header(message, "bcc"),
        "subject": header(message, "subject"),
        "date_parses": date is not None and date.datetime is not None,
        "message_id": header(message, "message-id"),
        "content_type": message.get_content_type(),
        "body_type": None if body is None else body.get_content_type(),
        "body": None if body is None else body.get_content().replace("\r\n", "\n"),
        "attachments": [{
            "filename": part.get_filename(),
            "content_type": part.get_content_type(),
            "data": list(part.get_payload(decode=True)),
        } for part in message.iter_attachments()],
        "defects": defects_of(message),
        "split_encoded_words": split_encoded_words(data),
    }))


if __name__ == "__main__":
    main(sys.argv[1])
