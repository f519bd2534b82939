#pragma once

#include <opencv2/core.hpp>

#include <algorithm>
#include <vector>

// The point-by-point trilinear expansion of a cube, straight from its definition:
// for every (B, G, R) interpolate along red, then green, then blue, in single
// precision. The reference the fast table build must match byte for byte.
inline std::vector<unsigned char> referenceLutTable(const cv::Mat &cube, int n) {
    std::vector<unsigned char> table(size_t(256) * 65536 * 3);
    const float *data = cube.ptr<float>();
    const float s = float(n - 1) / 255.0f;
    auto axis = [&](int v, int &lo, int &hi, float &f) {
        const float t = float(v) * s;
        lo = int(t);
        hi = std::min(lo + 1, n - 1);
        f = t - float(lo);
    };
    auto at = [&](int b, int g, int r, int c) { return data[size_t((b * n + g) * n + r) * 3 + size_t(c)]; };
    auto toByte = [](float x) -> unsigned char {
        const float v = x * 255.0f;
        if (v > 0.0f && v < 255.0f)
            return static_cast<unsigned char>(v);
        return v >= 255.0f ? 255 : 0;
    };
    for (int B = 0; B < 256; ++B) {
        int bl, bh;
        float fb;
        axis(B, bl, bh, fb);
        for (int G = 0; G < 256; ++G) {
            int gl, gh;
            float fg;
            axis(G, gl, gh, fg);
            for (int R = 0; R < 256; ++R) {
                int rl, rh;
                float fr;
                axis(R, rl, rh, fr);
                unsigned char *out = table.data() + (size_t(B) * 65536 + size_t(G) * 256 + size_t(R)) * 3;
                for (int c = 0; c < 3; ++c) {
                    const float c00 = at(bl, gl, rl, c) * (1.0f - fr) + at(bl, gl, rh, c) * fr;
                    const float c01 = at(bl, gh, rl, c) * (1.0f - fr) + at(bl, gh, rh, c) * fr;
                    const float c10 = at(bh, gl, rl, c) * (1.0f - fr) + at(bh, gl, rh, c) * fr;
                    const float c11 = at(bh, gh, rl, c) * (1.0f - fr) + at(bh, gh, rh, c) * fr;
                    const float c0 = c00 * (1.0f - fg) + c01 * fg;
                    const float c1 = c10 * (1.0f - fg) + c11 * fg;
                    out[2 - c] = toByte(c0 * (1.0f - fb) + c1 * fb);
                }
            }
        }
    }
    return table;
}
