// Pictures as PNG files through libpng's simplified interface, which keeps
// libpng's error jumps inside the library and hands back a message instead.
// The files carry no time or text chunk, so a picture always gives the
// same bytes. Builds without libpng write stored PNGs and read none.
#include "view/raster.h"

#if defined(MORVANE_HAVE_LIBPNG)

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace host {

namespace {

std::string reason(const png_image& image) {
    return image.message[0] ? image.message : "unknown libpng failure";
}

} // namespace

bool writePng(const std::string& path, const Raster& picture, std::string& error) {
    if (picture.width() == 0 || picture.height() == 0) {
        error = "cannot write " + path + ": the picture is empty";
        return false;
    }
    std::vector<std::uint8_t> rgb(std::size_t(picture.width()) * picture.height() * 3);
    const std::vector<std::uint8_t>& rgba = picture.rgba();
    for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i)
        std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot open " + path + " for writing: " + std::strerror(errno);
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width());
    image.height = png_uint_32(picture.height());
    image.format = PNG_FORMAT_RGB;
    bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    error = "cannot write " + path + ": " + (written ? std::strerror(errno) : reason(image));
    std::remove(path.c_str());
    return false;
}

bool readPng(const std::string& path, Raster& out, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&image, file)) {
        error = "cannot read " + path + " as a PNG picture: " + reason(image);
        std::fclose(file);
        return false;
    }
    if (image.width > png_uint_32(Raster::kMaxSide) ||
        image.height > png_uint_32(Raster::kMaxSide)) {
        error = "cannot read " + path + ": " + std::to_string(image.width) + " x " +
                std::to_string(image.height) + " pixels is too large a picture";
        png_image_free(&image);
        std::fclose(file);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    Raster picture(int(image.width), int(image.height));
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    bool read = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
    std::fclose(file);
    if (!read) {
        error = "cannot read " + path + " as a PNG picture: " + reason(image);
        return false;
    }
    picture.rgba_ = std::move(rgba);
    out = std::move(picture);
    return true;
}

} // namespace host

#else

#include "view/png_stored.h"

namespace host {

bool writePng(const std::string& path, const Raster& picture, std::string& error) {
    return writeStoredPng(path, picture, error);
}

bool readPng(const std::string& path, Raster&, std::string& error) {
    error = "cannot read " + path + ": this build has no PNG reader (built without libpng)";
    return false;
}

} // namespace host

#endif
