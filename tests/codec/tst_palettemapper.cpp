#include "gif/palettemapper.h"
#include "testhome.h"

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

AVFrame *bgraFrame(int width, int height)
{
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = width;
    frame->height = height;
    av_frame_get_buffer(frame, 0);
    return frame;
}

uint8_t *pixelAt(const AVFrame *frame, int x, int y)
{
    return frame->data[0] + y * frame->linesize[0] + x * 4;
}

// Sierra-2-4A onto the nearest opaque entry (the first on a tie), written plainly.
std::vector<uint8_t> plainDiffusion(const AVFrame *picture, const AVFrame *palette)
{
    const int width = picture->width;
    std::vector<int> rows(size_t(width) * picture->height * 3);
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rows[(size_t(y) * width + x) * 3 + c] = pixelAt(picture, x, y)[c];
    const auto spread = [&](int x, int y, const int *error, int quarters) {
        if (x < 0 || x >= width || y >= picture->height)
            return;
        int *pixel = &rows[(size_t(y) * width + x) * 3];
        for (int c = 0; c < 3; ++c)
            pixel[c] = std::clamp(pixel[c] + error[c] * quarters / 4, 0, 255);
    };
    std::vector<uint8_t> indices;
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < width; ++x) {
            const int *pixel = &rows[(size_t(y) * width + x) * 3];
            int best = 0;
            int bestDistance = INT_MAX;
            for (int i = 0; i < 256; ++i) {
                const uint8_t *entry = pixelAt(palette, i % 16, i / 16);
                int distance = 0;
                for (int c = 0; c < 3; ++c)
                    distance += (entry[c] - pixel[c]) * (entry[c] - pixel[c]);
                if (entry[3] == 0xFF && distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            indices.push_back(uint8_t(best));
            const uint8_t *chosen = pixelAt(palette, best % 16, best / 16);
            const int error[3] = {pixel[0] - chosen[0], pixel[1] - chosen[1], pixel[2] - chosen[2]};
            spread(x + 1, y, error, 2);
            spread(x - 1, y + 1, error, 1);
            spread(x, y + 1, error, 1);
        }
    return indices;
}

} // namespace

class TestPaletteMapper : public QObject
{
    Q_OBJECT

private slots:
    // Flat runs take the mapper's quick path, noise and gradients its search: every
    // index must be the one plain diffusion picks, whatever the bands the rows come in.
    void mapsAsPlainDiffusionDoes()
    {
        std::mt19937 random(7);
        AVFrame *palette = bgraFrame(16, 16);
        for (int i = 0; i < 256; ++i) {
            uint8_t *entry = pixelAt(palette, i % 16, i / 16);
            for (int c = 0; c < 3; ++c)
                entry[c] = uint8_t(random());
            entry[3] = i < 255 ? 0xFF : 0;
        }
        AVFrame *picture = bgraFrame(97, 23);
        for (int y = 0; y < picture->height; ++y)
            for (int x = 0; x < picture->width; ++x) {
                uint8_t *p = pixelAt(picture, x, y);
                const uint8_t *exact = pixelAt(palette, 3, 0);
                for (int c = 0; c < 3; ++c)
                    p[c] = x < 20   ? exact[c]
                           : x < 35 ? uint8_t(200 - c * 60)
                           : x < 55 ? uint8_t(c == 2 ? x * 4 + y : 90)
                           : x < 75 ? uint8_t(x * 3 + y + c)
                                    : uint8_t(random());
                p[3] = 0xFF;
            }
        PaletteMapper mapper;
        QVERIFY(mapper.setPalette(palette));
        const std::vector<uint8_t> expected = plainDiffusion(picture, palette);
        for (int band : {1, 5, 23}) {
            AVFrame *pal8 = av_frame_alloc();
            PaletteMapper::Picture mapping;
            QVERIFY(mapper.start(mapping, picture->width, picture->height, picture, pal8));
            for (int y = 0; y < picture->height; y += band) {
                AVFrame rows = *picture;
                rows.height = std::min(band, picture->height - y);
                rows.data[0] = picture->data[0] + y * picture->linesize[0];
                QVERIFY(mapper.addRows(mapping, &rows));
            }
            QVERIFY(mapper.finish(mapping));
            for (int y = 0; y < picture->height; ++y)
                for (int x = 0; x < picture->width; ++x)
                    QCOMPARE(pal8->data[0][y * pal8->linesize[0] + x],
                             expected[size_t(y) * picture->width + x]);
            av_frame_free(&pal8);
        }
        av_frame_free(&picture);
        av_frame_free(&palette);
    }
};

GLINTORA_TEST_MAIN_CORE(TestPaletteMapper)
#include "tst_palettemapper.moc"
