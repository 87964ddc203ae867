/* Routines that reach code or data through absolute addresses: a switch
   compiled to a jump table, a table of function pointers, and tables and
   strings addressed with lui/addiu. They run only at their link address. */

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

static const unsigned short squares[16] = {0,  1,  4,   9,   16,  25,  36,  49,
                                           64, 81, 100, 121, 144, 169, 196, 225};

int square_lookup(int i)
{
    return squares[i & 15];
}

int name_char(int i)
{
    static const char name[] = "Travonix CFunction";
    return name[i % (int)(sizeof name - 1)];
}

static int op_add(int a, int b)
{
    return a + b;
}

static int op_sub(int a, int b)
{
    return a - b;
}

static int op_mul(int a, int b)
{
    return a * b;
}

static int op_max(int a, int b)
{
    return a > b ? a : b;
}

typedef int (*binary_op)(int, int);
static binary_op const operations[4] = {op_add, op_sub, op_mul, op_max};

int dispatch(int k, int a, int b)
{
    return operations[k & 3](a, b);
}
