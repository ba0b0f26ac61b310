// cyclebench: the ten lines of a real run (format and order, not the
// timings), and the ratio line's arithmetic for the awkward corrected times.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <vector>

extern "C" int cyclebench_ratio_line(FILE *out, const char *name, int32_t t, int32_t m);

namespace {

std::vector<std::string> split_lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    if (start < text.size())
        lines.push_back(text.substr(start)); // an unterminated last line
    return lines;
}

std::string ratio_line(const char *name, int32_t t, int32_t m)
{
    char *buf = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&buf, &size);
    cyclebench_ratio_line(out, name, t, m);
    fclose(out);
    std::string text(buf, size);
    free(buf);
    return text;
}

} // namespace

TEST(Cyclebench, PrintsTenLinesInOrder)
{
    FILE *pipe = popen(CYCLEBENCH_PATH, "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), '\n');

    const std::string tick = "-?[0-9]+";
    const std::string ratio = "\tflops=(-?[0-9.]+(e[-+][0-9]+)?|-?inf|-?nan)";
    const std::vector<std::string> expected = {
        "time for loop: \t" + tick,
        "time for multiply: \t" + tick,
        "time for add: \t" + tick,
        "time for <: \t" + tick + ratio,
        "time for ==: \t" + tick + ratio,
        "time for sqrt: \t" + tick + ratio,
        "time for exp: \t" + tick + ratio,
        "time for log: \t" + tick + ratio,
        "time for fake pow: \t" + tick + ratio,
        "time for pow: \t" + tick + ratio,
    };
    auto lines = split_lines(out);
    ASSERT_EQ(lines.size(), expected.size()) << out;
    for (size_t k = 0; k < expected.size(); k++)
        EXPECT_TRUE(std::regex_match(lines[k], std::regex(expected[k])))
            << "line " << k + 1 << ": " << lines[k];
}

TEST(Cyclebench, RatioLineUsesTheSignedTimes)
{
    struct Case {
        int32_t t, m;
        const char *line;
    };
    // A negative corrected time gives a negative ratio (its bits read as
    // unsigned would give about 3e5 here); M = 0 divides by zero.
    const Case cases[] = {
        {250, 100, "time for exp: \t250\tflops=2.5\n"},
        {-5, 100, "time for exp: \t-5\tflops=-0.05\n"},
        {0, 100, "time for exp: \t0\tflops=0\n"},
        {-300, -100, "time for exp: \t-300\tflops=3\n"},
        {7, 0, "time for exp: \t7\tflops=inf\n"},
        {-7, 0, "time for exp: \t-7\tflops=-inf\n"},
        {INT32_MIN, 1, "time for exp: \t-2147483648\tflops=-2.14748e+09\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ratio_line("exp", c.t, c.m), c.line) << c.t << " / " << c.m;

    std::string nan_line = ratio_line("pow", 0, 0);
    EXPECT_TRUE(std::regex_match(nan_line, std::regex("time for pow: \t0\tflops=-?nan\n")))
        << nan_line;
}
