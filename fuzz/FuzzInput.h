// Helpers shared by the fuzz targets: reading typed values from the fuzz bytes, and a check that
// stops the run with a message when an invariant fails.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace ombrix::fuzz {

// Aborts with the failed condition and an optional detail, so libFuzzer (and the corpus replay)
// report it as a crash and keep the input.
#define OMBRIX_FUZZ_CHECK(cond, detail)                                                       \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s [%s]\n", __FILE__, __LINE__, #cond, \
                         std::string(detail).c_str());                                        \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)

// Consumes the fuzz bytes from the front; once they run out every read gives zeros.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    std::size_t remaining() const { return m_size - m_pos; }

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::uint64_t bits64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) {
            v = (v << 8) | byte();
        }
        return v;
    }

    // A whole number in [lo, hi] (hi - lo below 2^32).
    long inRange(long lo, long hi) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | byte();
        }
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<long>(v % span);
    }

    // Any double, bit pattern included (NaN, infinities, subnormals, -0).
    double anyDouble() { return std::bit_cast<double>(bits64()); }

    // A double that a data file or a calculation could plausibly hold: mostly small whole
    // numbers and short decimals, sometimes one of the awkward values.
    double dataDouble() {
        switch (byte() % 8) {
            case 0:
                return anyDouble();
            case 1:
                return static_cast<double>(static_cast<std::int8_t>(byte()));
            case 2:
                return static_cast<double>(inRange(-100000, 100000)) / 100.0;
            case 3:
                return -99;
            case 4: {
                static constexpr double kOdd[] = {0.5,    -0.5, 2.5,  1e300, -1e300, 1e-300,
                                                  5e-324, 0.0,  -0.0, 1e15,  1e16,   0.125};
                return kOdd[byte() % (sizeof kOdd / sizeof kOdd[0])];
            }
            default:
                return static_cast<double>(inRange(-5, 40000));
        }
    }

    // The rest of the bytes as text.
    std::string_view rest() {
        const std::string_view out(reinterpret_cast<const char*>(m_data) + m_pos, m_size - m_pos);
        m_pos = m_size;
        return out;
    }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace ombrix::fuzz
