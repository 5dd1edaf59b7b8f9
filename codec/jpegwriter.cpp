#include "jpegwriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// The quantiser FFmpeg's JPEG encoder scales by qscale / 8, with a fixed DC step of 8.
const unsigned int kBaseMatrix[DCTSIZE2] = {
    8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37, 19, 22, 26, 27, 29, 34,
    34, 38, 22, 22, 26, 27, 29, 34, 37, 40, 22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32,
    35, 40, 48, 58, 26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83,
};

// libjpeg's default handler exits the process; ours jumps back to the encode call. The
// output lives here, in memory the jump leaves alone.
struct ErrorJump
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    unsigned char *bytes;
    unsigned long size;
};

void jumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorJump *>(info->err)->jump, 1);
}

void setQuantiser(jpeg_compress_struct &info, int qscale)
{
    unsigned int table[DCTSIZE2];
    table[0] = 8;
    for (int i = 1; i < DCTSIZE2; ++i)
        table[i] = std::clamp<unsigned int>(kBaseMatrix[i] * static_cast<unsigned int>(qscale) >> 3, 1, 255);
    jpeg_add_quant_table(&info, 0, table, 100, TRUE);
    jpeg_add_quant_table(&info, 1, table, 100, TRUE);
}

// Rows of one plane for one band of MCUs, edge pixels repeated to the whole blocks
// libjpeg reads.
void fillBand(const AVFrame *frame, int plane, int firstRow, int rows, int width, int height, int paddedWidth,
              uint8_t *band, JSAMPROW *pointers)
{
    for (int r = 0; r < rows; ++r) {
        const int y = std::min(firstRow + r, height - 1);
        const uint8_t *source = frame->data[plane] + static_cast<ptrdiff_t>(y) * frame->linesize[plane];
        uint8_t *row = band + static_cast<size_t>(r) * paddedWidth;
        std::memcpy(row, source, static_cast<size_t>(width));
        std::memset(row + width, source[width - 1], static_cast<size_t>(paddedWidth - width));
        pointers[r] = row;
    }
}

} // namespace

bool JpegWriter::handles(AVPixelFormat format)
{
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P;
}

bool JpegWriter::open(int width, int height, AVPixelFormat format, int qscale)
{
    if (!handles(format) || width <= 0 || height <= 0)
        return false;
    const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(format);
    m_width = width;
    m_height = height;
    m_chromaShiftX = descriptor->log2_chroma_w;
    m_chromaShiftY = descriptor->log2_chroma_h;
    m_qscale = std::clamp(qscale, 0, 31);
    return true;
}

bool JpegWriter::encode(const AVFrame *frame, std::vector<uint8_t> &image)
{
    if (frame->width != m_width || frame->height != m_height)
        return false;
    jpeg_compress_struct info{};
    ErrorJump error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpOnError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(error.bytes);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &error.bytes, &error.size);
    info.image_width = static_cast<JDIMENSION>(m_width);
    info.image_height = static_cast<JDIMENSION>(m_height);
    info.input_components = 3;
    info.in_color_space = JCS_YCbCr;
    jpeg_set_defaults(&info);
    if (m_qscale > 0)
        setQuantiser(info, m_qscale);
    // Smaller files, as FFmpeg's encoder writes them, for little time.
    info.optimize_coding = TRUE;
    info.raw_data_in = TRUE;
    info.comp_info[0].h_samp_factor = 1 << m_chromaShiftX;
    info.comp_info[0].v_samp_factor = 1 << m_chromaShiftY;
    for (int c = 1; c < 3; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);

    const int bandRows = DCTSIZE << m_chromaShiftY;
    const int lumaWidth = (m_width + (DCTSIZE << m_chromaShiftX) - 1) / (DCTSIZE << m_chromaShiftX)
                          * (DCTSIZE << m_chromaShiftX);
    const int chromaWidth = lumaWidth >> m_chromaShiftX;
    const int chromaRows = DCTSIZE;
    m_band.resize(static_cast<size_t>(lumaWidth) * bandRows + 2 * static_cast<size_t>(chromaWidth) * chromaRows);
    JSAMPROW rows[3][4 * DCTSIZE];
    JSAMPARRAY planes[3] = {rows[0], rows[1], rows[2]};
    const int chromaVisibleWidth = -(-m_width >> m_chromaShiftX);
    const int chromaHeight = -(-m_height >> m_chromaShiftY);
    while (info.next_scanline < info.image_height) {
        const int first = static_cast<int>(info.next_scanline);
        uint8_t *band = m_band.data();
        fillBand(frame, 0, first, bandRows, m_width, m_height, lumaWidth, band, rows[0]);
        band += static_cast<size_t>(lumaWidth) * bandRows;
        for (int c = 1; c < 3; ++c, band += static_cast<size_t>(chromaWidth) * chromaRows)
            fillBand(frame, c, first >> m_chromaShiftY, chromaRows, chromaVisibleWidth, chromaHeight, chromaWidth,
                     band, rows[c]);
        jpeg_write_raw_data(&info, planes, static_cast<JDIMENSION>(bandRows));
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    image.assign(error.bytes, error.bytes + error.size);
    std::free(error.bytes);
    return true;
}
