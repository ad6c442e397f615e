"""The first name of the Python interface, kept for tests written against it: the package
`orppanel` holds everything now (import orppanel)."""

from orppanel import *  # noqa: F401,F403
from orppanel import HeadlessPanel, Host, build_frame, crc16, unstuff  # noqa: F401
from orppanel.protocol import (ACK, CR, ESC, MODE_CHECKSUM, MODE_CRC, MODE_KEY_ACK, MODE_KEY_REPORTS,  # noqa: F401
                               MODE_SEQUENCE, NAK)
