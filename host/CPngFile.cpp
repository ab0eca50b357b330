#include "host/CPngFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// libpng reports errors by longjmp; the file and the write structures are released on every path.
class PngWriter {
public:
    ~PngWriter()
    {
        if (png)
            png_destroy_write_struct(&png, &info);
        if (file)
            std::fclose(file);
    }

    bool Write(const std::string& path, const std::uint32_t* pixels, int width, int height, std::size_t stride)
    {
        file = std::fopen(path.c_str(), "wb");
        if (!file)
            return false;
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (!png)
            return false;
        info = png_create_info_struct(png);
        if (!info)
            return false;
        row.assign(static_cast<std::size_t>(width) * 3, 0);
        if (setjmp(png_jmpbuf(png)))
            return false;
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* source = pixels + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<png_byte>(source[x] >> 16);
                row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
                row[3 * x + 2] = static_cast<png_byte>(source[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        // A full disk shows only when the buffered bytes are flushed.
        const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        return flushed && closed;
    }

private:
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> row;
};

}  // namespace

bool CPngFile::Write(const std::string& path, const std::uint32_t* pixels, int width, int height, std::size_t stride)
{
    PngWriter writer;
    return writer.Write(path, pixels, width, height, stride);
}
