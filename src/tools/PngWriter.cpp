#include "tools/PngWriter.h"

#include <array>

namespace {

std::uint32_t Crc32(const std::string& bytes, std::size_t from) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        c = table[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void Put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((v >> shift) & 0xFF);
    }
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    Put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png += type;
    png += data;
    Put32(png, Crc32(png, start));
}

// Bits go least significant first, as deflate packs them.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            Bit((value >> i) & 1);
        }
    }
    // A Huffman code goes most significant bit first.
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) {
            Bit((code >> i) & 1);
        }
    }
    std::string Finish() {
        if (used_ != 0) {
            out_ += static_cast<char>(current_);
        }
        return std::move(out_);
    }

private:
    void Bit(std::uint32_t bit) {
        current_ |= bit << used_;
        if (++used_ == 8) {
            out_ += static_cast<char>(current_);
            current_ = 0;
            used_ = 0;
        }
    }

    std::string out_;
    std::uint32_t current_ = 0;
    int used_ = 0;
};

constexpr int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                 33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                  6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Literal(BitWriter& w, int symbol) {
    if (symbol < 144) {
        w.Code(0x30 + static_cast<std::uint32_t>(symbol), 8);
    } else if (symbol < 256) {
        w.Code(0x190 + static_cast<std::uint32_t>(symbol - 144), 9);
    } else if (symbol < 280) {
        w.Code(static_cast<std::uint32_t>(symbol - 256), 7);
    } else {
        w.Code(0xC0 + static_cast<std::uint32_t>(symbol - 280), 8);
    }
}

void Match(BitWriter& w, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) {
        --l;
    }
    Literal(w, 257 + l);
    w.Bits(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) {
        --d;
    }
    w.Code(static_cast<std::uint32_t>(d), 5);
    w.Bits(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// Writes one final block with the fixed codes; matches come from a hash of three bytes.
std::string Deflate(const std::string& data) {
    constexpr int kWindow = 32768;
    constexpr int kMaxMatch = 258;
    constexpr std::size_t kHashSize = 1 << 15;
    std::vector<int> head(kHashSize, -1);
    const auto hash = [&](std::size_t i) {
        const auto b = [&](std::size_t k) { return static_cast<std::uint8_t>(data[k]); };
        return ((b(i) << 10) ^ (b(i + 1) << 5) ^ b(i + 2)) & (kHashSize - 1);
    };
    BitWriter w;
    w.Bits(1, 1); // final block
    w.Bits(1, 2); // fixed codes
    std::size_t i = 0;
    while (i < data.size()) {
        int length = 0;
        int distance = 0;
        if (i + 3 <= data.size()) {
            const std::size_t h = hash(i);
            const int candidate = head[h];
            head[h] = static_cast<int>(i);
            if (candidate >= 0 && static_cast<int>(i) - candidate <= kWindow) {
                const std::size_t limit = std::min<std::size_t>(kMaxMatch, data.size() - i);
                std::size_t n = 0;
                while (n < limit && data[static_cast<std::size_t>(candidate) + n] == data[i + n]) {
                    ++n;
                }
                if (n >= 3) {
                    length = static_cast<int>(n);
                    distance = static_cast<int>(i) - candidate;
                }
            }
        }
        if (length == 0) {
            Literal(w, static_cast<std::uint8_t>(data[i]));
            ++i;
            continue;
        }
        Match(w, length, distance);
        // Later positions of the match go into the hash too, so runs chain on.
        for (std::size_t k = i + 1;
             k < i + static_cast<std::size_t>(length) && k + 3 <= data.size(); ++k) {
            head[hash(k)] = static_cast<int>(k);
        }
        i += static_cast<std::size_t>(length);
    }
    Literal(w, 256);
    return w.Finish();
}

std::uint32_t Adler32(const std::string& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char c : data) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

} // namespace

std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::string raw;
    raw.reserve((row + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw += '\0'; // no filter
        raw.append(reinterpret_cast<const char*>(rgb.data()) + row * static_cast<std::size_t>(y),
                   row);
    }
    std::string zlib = "\x78\x01";
    zlib += Deflate(raw);
    Put32(zlib, Adler32(raw));

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(height));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", "");
    return png;
}
