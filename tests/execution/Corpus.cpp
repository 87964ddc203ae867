#include "execution/Corpus.h"

#include <cstring>

namespace travonix::execution {
namespace {

std::vector<std::uint8_t> bytesOf(const char* text) {
    return {text, text + std::strlen(text)};
}

std::vector<std::uint8_t> wordsOf(std::initializer_list<std::int32_t> values) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t value : values)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
    return bytes;
}

constexpr auto kReloc = Placement::Relocatable;
constexpr auto kFixed = Placement::PositionDependent;
constexpr auto kFar = Placement::OutOfReach;
constexpr bool kAlone = true;
constexpr bool kCalls = false;
constexpr std::int32_t kMin = -2147483647 - 1;

std::vector<CorpusFunction> arithmetic() {
    return {
        {"arith", "add3", kReloc, kAlone, {{{1, 2, 3}}, {{-5, 7, 100}}, {{2147483647, 1, 0}}}},
        {"arith", "clamp", kReloc, kAlone, {{{5, 0, 10}}, {{-3, 0, 10}}, {{42, 0, 10}}}},
        {"arith", "gcd", kReloc, kAlone, {{{48, 18}}, {{17, 5}}, {{0, 9}}, {{1071, 462}}}},
        {"arith", "isqrt", kReloc, kAlone, {{{0}}, {{15}}, {{16}}, {{1000000}}, {{-1}}}},
        {"arith", "popcount", kReloc, kAlone, {{{0}}, {{255}}, {{kMin}}, {{-559038737}}}},
        {"arith",
         "q16_mul",
         kReloc,
         kAlone,
         {{{0x18000, 0x20000}}, {{-0x10000, 0x8000}}, {{123456, -654321}}}},
        {"arith", "div_round", kReloc, kAlone, {{{7, 2}}, {{-7, 2}}, {{10, 0}}, {{100, -7}}}},
        {"arith",
         "crc8",
         kReloc,
         kAlone,
         {{{0, 9}, bytesOf("123456789")}, {{0, 0}, bytesOf("x")}, {{0, 4}, {0xff, 0, 0x80, 1}}}},
        {"arith",
         "sum_array",
         kReloc,
         kAlone,
         {{{0, 4}, wordsOf({1, 2, 3, -40})}, {{0, 1}, wordsOf({kMin})}, {{0, 0}, wordsOf({9})}}},
        {"arith",
         "reverse_bytes",
         kReloc,
         kAlone,
         {{{0, 6}, bytesOf("abcdef")}, {{0, 5}, bytesOf("12345")}, {{0, 0}, bytesOf("q")}}},
    };
}

std::vector<CorpusFunction> calls() {
    return {
        {"calls", "square", kReloc, kAlone, {{{7}}, {{-12}}}},
        {"calls", "sum_squares", kReloc, kCalls, {{{0}}, {{10}}, {{100}}}},
        {"calls", "fib", kReloc, kAlone, {{{0}}, {{1}}, {{10}}, {{15}}}},
        {"calls", "factorial", kReloc, kAlone, {{{0}}, {{5}}, {{12}}}},
        {"calls", "is_odd", kReloc, kCalls, {{{3}}, {{8}}, {{0}}}},
        {"calls", "is_even", kReloc, kCalls, {{{0}}, {{7}}, {{10}}}},
        {"calls", "ackermann", kReloc, kAlone, {{{0, 0}}, {{1, 2}}, {{2, 3}}}},
        {"calls", "collatz_next", kReloc, kAlone, {{{6}}, {{7}}}},
        {"calls", "collatz_steps", kReloc, kCalls, {{{1}}, {{27}}, {{97}}}},
        {"calls", "mul_mod", kReloc, kAlone, {{{123456, 654321, 1000003}}, {{5, 0, 7}}}},
        {"calls", "pow_mod", kReloc, kCalls, {{{2, 10, 1000}}, {{7, 65537, 1000003}}, {{3, 0, 5}}}},
        {"calls", "square_of_diff", kReloc, kCalls, {{{3, 10}}, {{10, 3}}, {{-4, -4}}}},
    };
}

std::vector<CorpusFunction> program() {
    return {
        {"program", "scale", kReloc, kAlone, {{{250, 3, 2}}, {{1000, 7, 0}}, {{-99, 5, 4}}}},
        {"program",
         "limit",
         kReloc,
         kAlone,
         {{{-9000, -5000, 5000}}, {{123, -5000, 5000}}, {{7000, -5000, 5000}}}},
        {"program", "mix", kReloc, kAlone, {{{1, 2}}, {{-559038737, 0x12345678}}}},
        {"program",
         "weighted_sum",
         kReloc,
         kCalls,
         {{{0, 3}, wordsOf({10, 20, 30})}, {{0, 0}, wordsOf({5})}}},
        {"program", "main", kReloc, kCalls, {{{12345, 150, 7}}, {{-99999, 200, 1}}, {{0, 0, 0}}}},
    };
}

std::vector<CorpusFunction> tables() {
    return {
        {"tables", "op_add", kReloc, kAlone, {{{3, 4}}, {{-3, 1}}}},
        {"tables", "op_sub", kReloc, kAlone, {{{3, 4}}, {{-3, 1}}}},
        {"tables", "op_mul", kReloc, kAlone, {{{3, 4}}, {{-3, 1}}}},
        {"tables", "op_max", kReloc, kAlone, {{{3, 4}}, {{-3, 1}}}},
        {"tables",
         "classify",
         kFixed,
         kAlone,
         {{{0, 3, 4}}, {{2, 3, 4}}, {{6, 3, 4}}, {{9, 3, 4}}, {{12, 3, 4}}}},
        {"tables", "square_lookup", kFixed, kAlone, {{{3}}, {{15}}, {{20}}}},
        {"tables", "name_char", kFixed, kAlone, {{{0}}, {{5}}, {{25}}}},
        {"tables",
         "dispatch",
         kFixed,
         kAlone,
         {{{0, 3, 4}}, {{1, 3, 4}}, {{2, 3, 4}}, {{3, 3, 4}}}},
    };
}

std::vector<CorpusFunction> farCalls() {
    return {
        {"farcall", "triple", kReloc, kAlone, {{{5}}, {{-2}}}},
        {"farcall", "near_caller", kReloc, kCalls, {{{5}}, {{-2}}}},
        {"farcall", "far_caller", kFar, kAlone, {{{1, 2}}, {{10, 20}}}},
    };
}

} // namespace

const std::vector<CorpusFunction>& corpusFunctions() {
    static const std::vector<CorpusFunction> all = [] {
        std::vector<CorpusFunction> list;
        for (auto part : {arithmetic(), calls(), program(), tables(), farCalls()})
            list.insert(list.end(), part.begin(), part.end());
        return list;
    }();
    return all;
}

const std::vector<std::string>& corpusPrograms() {
    static const std::vector<std::string> programs = {"arith", "calls", "program", "tables",
                                                      "farcall"};
    return programs;
}

std::string corpusPath(const std::string& file) {
    return std::string(TRAVONIX_FIXTURES_DIR) + "/../execution/corpus/" + file;
}

} // namespace travonix::execution
