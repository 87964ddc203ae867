/* Routines that call each other and themselves: every call is a jal in the
   linked code and must become a bal to run at another address. */

#define NOINLINE __attribute__((noinline))

NOINLINE int square(int x)
{
    return x * x;
}

int sum_squares(int n)
{
    int sum = 0;
    for (int i = 1; i <= n; i++)
        sum += square(i);
    return sum;
}

int fib(int n)
{
    if (n < 2)
        return n;
    return fib(n - 1) + fib(n - 2);
}

unsigned factorial(unsigned n)
{
    return n <= 1 ? 1 : n * factorial(n - 1);
}

NOINLINE int is_odd(unsigned n);

NOINLINE int is_even(unsigned n)
{
    return n == 0 ? 1 : is_odd(n - 1);
}

NOINLINE int is_odd(unsigned n)
{
    return n == 0 ? 0 : is_even(n - 1);
}

int ackermann(int m, int n)
{
    if (m == 0)
        return n + 1;
    if (n == 0)
        return ackermann(m - 1, 1);
    return ackermann(m - 1, ackermann(m, n - 1));
}

NOINLINE unsigned collatz_next(unsigned n)
{
    return (n & 1) ? 3 * n + 1 : n / 2;
}

int collatz_steps(unsigned n)
{
    int steps = 0;
    while (n > 1 && steps < 1000) {
        n = collatz_next(n);
        steps++;
    }
    return steps;
}

/* a * b mod m by doubling, for m below 2^31 (no 64-bit division helper). */
NOINLINE unsigned mul_mod(unsigned a, unsigned b, unsigned m)
{
    unsigned result = 0;
    a %= m;
    while (b != 0) {
        if (b & 1)
            result = (result + a) % m;
        a = (a * 2) % m;
        b >>= 1;
    }
    return result;
}

unsigned pow_mod(unsigned base, unsigned exp, unsigned m)
{
    unsigned result = 1 % m;
    base %= m;
    while (exp != 0) {
        if (exp & 1)
            result = mul_mod(result, base, m);
        base = mul_mod(base, base, m);
        exp >>= 1;
    }
    return result;
}

/* A tail call: with sibling calls on, the call to square is a plain j that
   must become a b. */
__attribute__((optimize("optimize-sibling-calls"))) int square_of_diff(int a, int b)
{
    return square(a > b ? a - b : b - a);
}
