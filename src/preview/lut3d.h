#pragma once

#include <QString>

#include <opencv2/core.hpp>

#include <memory>

// A 3D colour look-up cube read from a .cube file, expanded once into a full
// 256 x 256 x 256 byte table so that applying it costs one table read per pixel.
//
// Cube order: entry (b * N + g) * N + r, red fastest; channels red, green, blue in
// [0, 1]. An entry of the table holds the output blue, green and red bytes of one
// input colour. The table keeps neighbouring colours together in blocks of 8 x 8 x 8,
// and within those in small cubes of 4 x 4 x 4 (see tableOffset()), so that the
// look-ups of a picture, whose neighbouring pixels have similar colours, mostly read
// cache lines already read.
class Lut3d {
public:
    // Cubes larger than this are refused: the .cube format stops at 256 and real
    // grading cubes stay far below it.
    static constexpr int kMaxSize = 256;
    static constexpr size_t kTableEntries = size_t(256) * 256 * 256;

    Lut3d();
    ~Lut3d();
    Lut3d(const Lut3d &) = delete;
    Lut3d &operator=(const Lut3d &) = delete;

    // Parses the file; on success replaces the cube and rebuilds the table. A failed
    // load keeps the previous cube and table.
    bool loadLUT(const QString &path);
    // The parsing half of loadLUT: the cube's size and N^3 rows of three floats in cube
    // order, or false (and nothing written) for a file that is not a cube this class
    // takes.
    static bool readCubeFile(const QString &path, int &size, cv::Mat &data);
    // Expands the cube into the table; does nothing without a cube.
    void buildLutTable();
    // A new BGR image: the table applied to `frame`, or a plain copy of it when there
    // is no table.
    cv::Mat applyLUTFast(const cv::Mat &frame) const;
    // Writes the table applied to the BGR image `bgr` into `out` (same size, allocated
    // when needed), in BGR order or, with `rgbOut`, swapped to RGB. `out` may be `bgr`.
    // Requires a table.
    void apply(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const;
    // The same on the calling thread only, into `out` of bgr's size, allocated by the
    // caller with three or four (the fourth byte 255) channels. A four-channel `bgr`
    // (BGRx) goes to four channels in BGR order; `out` may be `bgr`.
    void applyRows(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const;

    // Replaces the cube directly (N^3 rows of three floats in cube order) and builds
    // the table; for generated cubes.
    bool setCube(int size, const cv::Mat &data);

    int lutSize() const { return m_size; }
    const cv::Mat &lutData() const { return m_data; }
    bool hasTable() const { return m_table != nullptr; }
    // The output blue, green and red bytes of one input colour. Requires a table.
    cv::Vec3b tableEntry(int b, int g, int r) const;
    // The whole table in plain order (row = blue input, column = green * 256 + red), a
    // new 256 x 65536 BGR image; empty without a table.
    cv::Mat plainTable() const;

    // Byte offset of the entry of input colour (b, g, r): entry index
    // ((b / 8 * 32 + g / 8) * 32 + r / 8) * 512 + the place within the block,
    // ((b & 4) * 2 + (g & 4) + (r & 4) / 2) * 32 + (b % 4) * 16 + (g % 4) * 4 + r % 4,
    // times three. The three channels' parts add up because they hold different bits.
    static size_t tableOffset(int b, int g, int r);

    // The single-precision byte conversion of an interpolated channel value.
    static inline unsigned char toByte(float value) {
        const float v = value * 255.0f;
        if (!(v > 0.0f))
            return 0;
        if (v >= 255.0f)
            return 255;
        return static_cast<unsigned char>(v);
    }

private:
    struct TableMemory;

    int m_size = 0;
    cv::Mat m_data;
    const unsigned char *m_table = nullptr;
    std::shared_ptr<TableMemory> m_tableMemory;
};
