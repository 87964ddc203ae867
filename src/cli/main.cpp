#include "app/Product.h"

#include <cstdio>

int main() {
    std::printf("%s %s\n", travonix::kProductName, travonix::kVersionText);
    return 0;
}
