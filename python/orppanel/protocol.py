"""Frames and bitmaps of the panel protocol, as the host side builds and reads them.

A message is a command byte and its parameters; a frame adds the sequence byte and the check
bytes the protocol mode asks for, ESC-stuffs ESC and CR and ends with CR. Key reports ('k'),
LED commands ('L') and click masks ('I') carry 256-bit bitmaps as group strings.
"""

CR, ESC, ACK, NAK = 0x0D, 0x1B, 0x06, 0x15
MODE_KEY_REPORTS = 0x01   # the panel reports every key change by itself
MODE_KEY_ACK = 0x02       # key reports are repeated until acknowledged
MODE_CHECKSUM = 0x04      # one checksum byte (ignored with MODE_CRC)
MODE_SEQUENCE = 0x08      # a sequence byte: repeats are recognised
MODE_CRC = 0x10           # two CRC-16 bytes

# The longest message a frame holds with every option on; longer LCD text goes in pieces.
MAX_MESSAGE = 252


def crc16(data):
    """CRC-16/XMODEM."""
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return crc


def build_frame(message, mode=0, sequence=0):
    """A message framed for a protocol mode and stuffed, as the panel expects it."""
    plain = bytearray(message)
    if plain[:1] != b"R":
        if mode & MODE_SEQUENCE:
            plain.append(sequence)
        if mode & MODE_CRC:
            crc = crc16(plain)
            plain += bytes([crc >> 8, crc & 0xFF])
        elif mode & MODE_CHECKSUM:
            plain.append(~sum(plain) & 0xFF)
    out = bytearray()
    for byte in plain:
        if byte in (ESC, CR):
            out.append(ESC)
        out.append(byte)
    out.append(CR)
    return bytes(out)


def unstuff(frame):
    """The frame without stuffing and without its final CR."""
    out, escaped = bytearray(), False
    for byte in frame[:-1]:
        if not escaped and byte == ESC:
            escaped = True
            continue
        escaped = False
        out.append(byte)
    return bytes(out)


def split_frame(frame, mode):
    """(message, sequence byte or 0) of a frame from the panel; ValueError when its check fails.

    The reset announcement 'r' is framed in mode 0 whatever the mode was."""
    body = unstuff(frame)
    if body == b"r":
        return body, 0
    if mode & MODE_CRC:
        if len(body) < 3 or crc16(body) != 0:
            raise ValueError("bad CRC in %r" % frame)
        body = body[:-2]
    elif mode & MODE_CHECKSUM:
        if len(body) < 2 or (sum(body[:-1]) + body[-1]) & 0xFF != 0xFF:
            raise ValueError("bad checksum in %r" % frame)
        body = body[:-1]
    sequence = 0
    if mode & MODE_SEQUENCE:
        if len(body) < 2:
            raise ValueError("no sequence byte in %r" % frame)
        sequence, body = body[-1], body[:-1]
    return body, sequence


def group_bytes(params):
    """(byte index, value) for each bitmap byte a group string sets, in order; index -1 stands
    for bits 0-6 of byte 0 (a byte without bit 7). ValueError at a malformed group."""
    out, i = [], 0
    while i < len(params):
        head = params[i]
        i += 1
        if not head & 0x80:
            out.append((-1, head))
            continue
        start, count = head & 0x1F, ((head >> 5) & 3) + 1
        if start < count - 1 or len(params) - i < count:
            raise ValueError("malformed group at byte %d of %r" % (i - 1, bytes(params)))
        for k in range(count):
            out.append((start - k, params[i]))
            i += 1
    return out


def apply_groups(params, bitmap):
    """Applies a group string to a 32-byte bitmap (a bytearray) in place."""
    for index, value in group_bytes(params):
        if index < 0:
            bitmap[0] = (bitmap[0] & 0x80) | (value & 0x7F)
        else:
            bitmap[index] = value
    return bitmap


def encode_groups(bitmap):
    """A whole 32-byte bitmap as groups: eight headers of four bytes each, byte 31 first."""
    out = bytearray()
    for start in range(31, 2, -4):
        out.append(0x80 | (3 << 5) | start)
        out += bytes(bitmap[start - k] for k in range(4))
    return bytes(out)


def bits(bitmap):
    """The set identifiers of a 32-byte bitmap."""
    return {index * 8 + bit for index, byte in enumerate(bitmap) for bit in range(8) if byte >> bit & 1}
