#!/usr/bin/python3
"""Makes the picture fixtures of the loader tests with Pillow and ImageMagick (neither is a dependency of
the project: run this by hand after installing python3-pil and imagemagick, and commit the files).

Every picture is the same 37 x 21 scene (an odd width, so rows need padding), in many encodings."""
import os
import struct
import subprocess

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 37, 21


def scene():
    image = Image.new("RGBA", (W, H))
    for y in range(H):
        for x in range(W):
            r = (x * 7) % 256
            g = (y * 12) % 256
            b = (x * y * 3 + 40) % 256
            a = 255 if x < 20 else (x * 13 + y * 5) % 256
            if 5 <= x < 9 and 4 <= y < 8:
                r, g, b, a = 255, 0, 0, 255
            image.putpixel((x, y), (r, g, b, a))
    return image


def path(name):
    return os.path.join(HERE, name)


def magick(source, *arguments):
    subprocess.run(["/usr/bin/convert", source, *arguments], check=True)


def bmp_top_down(source, target):
    """A 40-byte-header bottom-up BMP turned into a top-down one: negative height, rows reversed."""
    data = bytearray(open(path(source), "rb").read())
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    row = (width * bits + 31) // 32 * 4
    rows = [data[offset + i * row: offset + (i + 1) * row] for i in range(height)]
    struct.pack_into("<i", data, 22, -height)
    data[offset: offset + row * height] = b"".join(reversed(rows))
    open(path(target), "wb").write(data)


def bmp_v4_from_v5(source, target):
    """A 124-byte-header BMP cut down to the 108-byte header (the last four fields dropped)."""
    data = bytearray(open(path(source), "rb").read())
    assert struct.unpack_from("<I", data, 14)[0] == 124
    del data[14 + 108: 14 + 124]
    struct.pack_into("<I", data, 14, 108)
    struct.pack_into("<I", data, 10, struct.unpack_from("<I", data, 10)[0] - 16)
    struct.pack_into("<I", data, 2, len(data))
    open(path(target), "wb").write(data)


def main():
    rgba = scene()
    rgb = rgba.convert("RGB")
    grey = rgba.convert("L")
    rgba.save(path("reference.png"))

    # PNG: every colour type, transparency, 16 bits, interlacing.
    grey.save(path("png_grey.png"))
    grey.convert("1").save(path("png_grey1.png"))
    grey.save(path("png_grey_trns.png"), transparency=grey.getpixel((0, 0)))
    rgba.convert("LA").save(path("png_grey_alpha.png"))
    palette = rgb.quantize(64)
    palette.save(path("png_palette.png"))
    palette.save(path("png_palette_trns.png"), transparency=palette.getpixel((0, 0)))
    rgb.save(path("png_rgb.png"))
    rgba.save(path("png_rgba.png"))
    magick(path("png_rgba.png"), "-depth", "16", "PNG64:" + path("png_rgba16.png"))
    magick(path("png_rgb.png"), "-depth", "16", "PNG48:" + path("png_rgb16.png"))
    magick(path("png_rgba.png"), "-interlace", "PNG", path("png_interlaced.png"))

    # JPEG: grey, colour, progressive, and CMYK (which the loader refuses).
    grey.save(path("jpeg_grey.jpg"), quality=90)
    rgb.save(path("jpeg_rgb.jpg"), quality=90)
    rgb.save(path("jpeg_progressive.jpg"), quality=90, progressive=True)
    rgb.convert("CMYK").save(path("jpeg_cmyk.jpg"), quality=90)

    # BMP: 1, 4, 8 and 24 bits with the 40-byte header; 24 bits with the 108- and 124-byte headers and the
    # 12-byte OS/2 header; top-down files.
    magick(path("png_rgb.png"), "-monochrome", "BMP3:" + path("bmp1.bmp"))
    magick(path("png_rgb.png"), "-colors", "16", "-type", "Palette", "BMP3:" + path("bmp4.bmp"))
    magick(path("png_rgb.png"), "-colors", "200", "-type", "Palette", "-compress", "None", "BMP3:" + path("bmp8.bmp"))
    magick(path("png_rgb.png"), "-colors", "200", "-type", "Palette", "-compress", "RLE", "BMP3:" + path("bmp8_rle.bmp"))
    magick(path("png_rgb.png"), "-type", "TrueColor", "BMP3:" + path("bmp24.bmp"))
    magick(path("png_rgb.png"), "-type", "TrueColor", path("bmp24_v5.bmp"))
    bmp_v4_from_v5("bmp24_v5.bmp", "bmp24_v4.bmp")
    magick(path("png_rgb.png"), "-type", "TrueColor", "BMP2:" + path("bmp24_os2.bmp"))
    bmp_top_down("bmp24.bmp", "bmp24_topdown.bmp")
    bmp_top_down("bmp8.bmp", "bmp8_topdown.bmp")

    # TGA: 24 and 32 bits, raw and run-length, bottom-up and top-down.
    rgb.save(path("tga24.tga"))
    rgba.save(path("tga32.tga"))
    rgb.save(path("tga24_rle.tga"), compression="tga_rle")
    rgba.save(path("tga32_rle.tga"), compression="tga_rle")
    rgba.save(path("tga32_topdown.tga"), orientation=1)
    rgba.save(path("tga32_rle_topdown.tga"), compression="tga_rle", orientation=1)
    os.remove(path("reference.png"))


if __name__ == "__main__":
    main()
