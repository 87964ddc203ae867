/* A CFunction program as users write it for the merge mode: helpers first,
   then main, the entry the interpreter calls, which calls the helpers. */

#define NOINLINE __attribute__((noinline))

NOINLINE int scale(int v, int num, int den)
{
    return den == 0 ? 0 : v * num / den;
}

NOINLINE int limit(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

NOINLINE unsigned mix(unsigned a, unsigned b)
{
    unsigned h = 2166136261u;
    h = (h ^ a) * 16777619u;
    h = (h ^ b) * 16777619u;
    return h ^ (h >> 15);
}

NOINLINE int weighted_sum(const int* p, int n)
{
    int sum = 0;
    for (int i = 0; i < n; i++)
        sum += scale(p[i], i + 1, 2);
    return sum;
}

/* Scales a reading, limits it to a band and folds in a salt. */
int main(int reading, int gain, int salt)
{
    int scaled = scale(reading, gain, 100);
    int limited = limit(scaled, -5000, 5000);
    return limited + (int)(mix((unsigned)limited, (unsigned)salt) & 0xff);
}
