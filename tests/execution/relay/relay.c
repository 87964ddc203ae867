/* Everyday C that reaches its own tables, strings and routines through
   absolute addresses: a byte table, an int table, string literals, a switch
   compiled to a jump table, a table of function pointers, routines passed by
   address, and a table large enough that the tables after it have a %lo of
   0x8000 or more. Linked with ../corpus/corpus.ld at -O1, -O2 and -Os. */

static const unsigned char bytes[16] = {7, 1, 8, 2, 8, 1, 8, 2, 8, 4, 5, 9, 0, 4, 5, 2};

int byte_at(int i)
{
    return bytes[i & 15];
}

static const int primes[12] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

int prime_sum(int n)
{
    int sum = 0;
    for (int i = 0; i < n && i < 12; ++i)
        sum += primes[i];
    return sum;
}

int greeting_char(int i)
{
    static const char text[] = "Hello from a CFunction";
    return text[(unsigned)i % (sizeof text - 1)];
}

int count_letter(int c)
{
    const char *s = "position independent blocks";
    int n = 0;
    for (; *s; ++s)
        n += *s == c;
    return n;
}

int classify(int op, int a, int b)
{
    switch (op) {
    case 0:
        return a + b;
    case 1:
        return a - b;
    case 2:
        return a * b;
    case 3:
        return a & b;
    case 4:
        return a | b;
    case 5:
        return a ^ b;
    case 6:
        return a << (b & 31);
    case 7:
        return a >> (b & 31);
    case 8:
        return a < b ? a : b;
    case 9:
        return a > b ? a : b;
    default:
        return -1;
    }
}

__attribute__((noinline)) static int op_add(int a, int b)
{
    return a + b;
}

__attribute__((noinline)) static int op_sub(int a, int b)
{
    return a - b;
}

__attribute__((noinline)) static int op_mul(int a, int b)
{
    return a * b;
}

__attribute__((noinline)) static int op_max(int a, int b)
{
    return a > b ? a : b;
}

typedef int (*binary_op)(int, int);
static binary_op const operations[4] = {op_add, op_sub, op_mul, op_max};

int dispatch(int k, int a, int b)
{
    return operations[k & 3](a, b);
}

__attribute__((noinline)) static int twice(int x)
{
    return 2 * x;
}

__attribute__((noinline)) static int negate(int x)
{
    return -x;
}

__attribute__((noinline)) int apply(int (*f)(int), int x)
{
    return f(x) + f(x + 1);
}

int use_callbacks(int x)
{
    return apply(twice, x) * 3 + apply(negate, x);
}

/* 33 KB: the tables that follow it lie more than 32 KB into the block. */
static const unsigned char big[0x8100] = {3, 1, 4, 1, 5, 9, 2, 6, [0x80FF] = 77};

int big_at(int i)
{
    return big[(unsigned)i % sizeof big];
}

static const short after_big[6] = {-5, 10, -15, 20, -25, 30};

int after_big_at(int i)
{
    return after_big[(unsigned)i % 6] + big[0x80FF];
}
