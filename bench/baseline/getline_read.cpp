// The plain read a user would compare the tool with: every line of the file
// read with std::getline into a vector of strings, as a simple program that
// "just reads the listing" would. Prints the line count so the work is kept.
//   travonix_getline_read FILE
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: travonix_getline_read FILE\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot open " << argv[1] << '\n';
        return 1;
    }
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    std::cout << lines.size() << '\n';
    return 0;
}
