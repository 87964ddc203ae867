/* Leaf routines: arithmetic, loops and memory reads through a pointer
   argument, no calls. Each block stands alone wherever it is loaded. */

int add3(int a, int b, int c)
{
    return a + b + c;
}

int clamp(int v, int lo, int hi)
{
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

unsigned gcd(unsigned a, unsigned b)
{
    while (b != 0) {
        unsigned t = a % b;
        a = b;
        b = t;
    }
    return a;
}

unsigned isqrt(unsigned n)
{
    unsigned root = 0;
    unsigned bit = 1u << 30;
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

int popcount(unsigned x)
{
    int count = 0;
    while (x != 0) {
        x &= x - 1;
        count++;
    }
    return count;
}

/* Q16.16 fixed-point product: uses the HI register of a 64-bit multiply. */
int q16_mul(int a, int b)
{
    return (int)(((long long)a * b) >> 16);
}

int div_round(int a, int b)
{
    if (b == 0)
        return 0;
    int q = a / b;
    int r = a % b;
    if (2 * (r < 0 ? -r : r) >= (b < 0 ? -b : b))
        q += ((a < 0) == (b < 0)) ? 1 : -1;
    return q;
}

unsigned crc8(const unsigned char* p, int n)
{
    unsigned crc = 0;
    for (int i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc & 0x80) ? ((crc << 1) ^ 0x07) & 0xff : (crc << 1) & 0xff;
    }
    return crc;
}

int sum_array(const int* p, int n)
{
    int sum = 0;
    while (n-- > 0)
        sum += *p++;
    return sum;
}

/* Writes through its pointer argument: reverses n bytes in place and returns
   the first byte afterwards. */
int reverse_bytes(unsigned char* p, int n)
{
    for (int i = 0, j = n - 1; i < j; i++, j--) {
        unsigned char t = p[i];
        p[i] = p[j];
        p[j] = t;
    }
    return n > 0 ? p[0] : -1;
}
