/* A routine that calls code outside a relative branch's reach: the target
   sits in the .far section, 256 KB above the rest of the code, as a routine
   of the interpreter's firmware would. That call stays an absolute jal. */

#define NOINLINE __attribute__((noinline))

__attribute__((section(".far"), noinline)) int firmware_checksum(int a, int b)
{
    return (a * 31) ^ b;
}

NOINLINE int triple(int x)
{
    return 3 * x;
}

int near_caller(int x)
{
    return triple(x) + 1;
}

int far_caller(int a, int b)
{
    return firmware_checksum(a, b) + 7;
}
