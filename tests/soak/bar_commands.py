"""The bar's menu commands that the soak and the exit trials send, and the
data mask each data-field command leaves."""

SPEED_FAST = 33009
UPDATE_NOW = 33015
ADD_REMOVE_SYMBOLS = 33028

SELECT_ALL = 33025
RESET_DEFAULT = 33026
SELECT_ALL_MASK = 0x11111113
DEFAULT_MASK = 0x10000101

# Field items flip their bit.
FIELD_BITS = {
    33016: 0x00000001,  # Current Price
    33017: 0x00000010,  # Time
    33018: 0x00000100,  # Day's Change
    33019: 0x00000002,  # Day's % Change
    33020: 0x00001000,  # Last Day's Close
    33031: 0x00002000,  # Opening Price
    33021: 0x00010000,  # Day's High
    33022: 0x00100000,  # Day's Low
    33023: 0x01000000,  # Day's Volume
    33024: 0x10000000,  # Show Fractions
}

# The order in which the soak goes through them: every field on, Select
# All, every field off again, Reset Default.
DATA_FIELD_ROTATION = (*FIELD_BITS, SELECT_ALL, *reversed(tuple(FIELD_BITS)), RESET_DEFAULT)


def mask_after(mask, command):
    if command == SELECT_ALL:
        return SELECT_ALL_MASK
    if command == RESET_DEFAULT:
        return DEFAULT_MASK
    return mask ^ FIELD_BITS.get(command, 0)
