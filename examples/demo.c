/* Example CFunctions for a BASIC program on a PIC32: an integer square
   root, a distance built on it, and a CRC-8 over a buffer using a table in
   flash. Freestanding: no C library, no start-up code; main only shows how
   the routines are called. */

/* CRC-8 (polynomial x^8 + x^2 + x + 1), four bits at a time. */
static const unsigned char crc8_nibble[16] = {
    0x00, 0x07, 0x0E, 0x09, 0x1C, 0x1B, 0x12, 0x15,
    0x38, 0x3F, 0x36, 0x31, 0x24, 0x23, 0x2A, 0x2D,
};

/* Largest r with r * r <= n, one result bit per step. */
unsigned int int_sqrt(unsigned int n)
{
    unsigned int root = 0;
    unsigned int bit = 1u << 30;

    while (bit > n)
        bit >>= 2;
    while (bit != 0) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return root;
}

/* Length of the vector (dx, dy), rounded down. */
int vector_length(int dx, int dy)
{
    return (int)int_sqrt((unsigned int)(dx * dx + dy * dy));
}

unsigned int crc8_buffer(const unsigned char *buf, int len)
{
    unsigned int crc = 0;
    int i;

    for (i = 0; i < len; i++) {
        crc ^= buf[i];
        crc = ((crc << 4) ^ crc8_nibble[crc >> 4]) & 0xFF;
        crc = ((crc << 4) ^ crc8_nibble[crc >> 4]) & 0xFF;
    }
    return crc;
}

int main(int argc, char **argv)
{
    static const unsigned char message[9] = "123456789";

    (void)argv;
    return vector_length(argc, 4) + (int)crc8_buffer(message, 9);
}
