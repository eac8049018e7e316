"""What a run of an example must show, shared by the checks of examples/ and of the README.

Every example first leaves the lock screen with the stock bar, locks again, and only then works
its gesture; so an `unlocked` event anywhere in the trace proves nothing about the gesture. The
gesture's own unlock is the one that follows the last `locked` event.
"""

import pathlib
import struct


def gesture_unlock_problems(events):
    """Why the trace `events` (parsed JSON objects, in order) does not end unlocked by the
    gesture worked after the last lock; an empty list when it does."""
    locks = [i for i, e in enumerate(events) if e.get("ev") == "locked"]
    if not locks:
        return ["the trace has no locked event, so no gesture worked on a lock screen"]
    after = events[locks[-1] + 1:]
    if not any(e.get("ev") == "unlocked" for e in after):
        return [f"no unlocked event after the last locked event (t={events[locks[-1]].get('t')}): "
                "the gesture did not unlock"]
    return []


def webp_frame_count(path):
    """The frames of the WebP picture at `path`: the ANMF chunks of an animated one, 1 for a
    still one. None when the file is missing or is not a whole RIFF WebP file."""
    path = pathlib.Path(path)
    if not path.is_file():
        return None
    data = path.read_bytes()
    if len(data) < 12 or data[:4] != b"RIFF" or data[8:12] != b"WEBP":
        return None
    riff_end = 8 + struct.unpack("<I", data[4:8])[0]
    if riff_end > len(data):
        return None
    frames, stills, at = 0, 0, 12
    while at + 8 <= riff_end:
        kind = data[at:at + 4]
        size = struct.unpack("<I", data[at + 4:at + 8])[0]
        if at + 8 + size > riff_end:
            return None  # a chunk runs past the end: the file is cut short
        frames += kind == b"ANMF"
        stills += kind in (b"VP8 ", b"VP8L")
        at += 8 + size + (size & 1)
    return frames if frames else (1 if stills else 0)


def recording_problems(path):
    """Why `path` is not an animated recording of more than one frame; empty when it is."""
    frames = webp_frame_count(path)
    if frames is None:
        return [f"no whole WebP recording at {pathlib.Path(path).name}"]
    if frames < 2:
        return [f"the recording {pathlib.Path(path).name} holds {frames} frame(s): nothing moved"]
    return []
