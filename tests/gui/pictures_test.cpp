// What the tile map and the data map show, compared with the whole map
// decoded at once, for random ROMs, every codec and several geometries.
#include "apphelper.h"
#include "guitest.h"

#include "app/imagebox.h"
#include "text/dataf.h"
#include "tiles/codecs.h"
#include "tiles/tmform.h"

#include <QComboBox>
#include <QSpinBox>

#include <random>

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void shownPicturesAreTheDecodedMap()
    {
        RunningApp app;
        std::mt19937 rng(5);
        std::vector<std::uint8_t> rom(1 << 20);
        for (auto& b : rom)
            b = static_cast<std::uint8_t>(rng());
        app.open(app.writeFile(QStringLiteral("random.bin"), rom));
        Ttilemapform* tiles = app.wb().forms.tileMapForm;
        auto* tileMap = app.find<ImageBox>(tiles, "TileMap");
        auto* dataMap = app.find<ImageBox>(app.wb().forms.dataForm, "DataMap");
        const std::vector<TileGeometry> geometries{{8, 8, 1, 1}, {16, 8, 2, 2}, {3, 5, 1, 3}, {16, 16, 4, 4}};
        for (const Codec codec : kAllCodecs)
            for (const TileGeometry& g : geometries) {
                app.find<QComboBox>(tiles, "Codecbox")->setCurrentIndex(codecIndex(codec));
                app.find<QSpinBox>(tiles, "twidth")->setValue(g.tileWidth);
                app.find<QSpinBox>(tiles, "theight")->setValue(g.tileHeight);
                app.find<QSpinBox>(tiles, "tlwidth")->setValue(g.blockWidth);
                app.find<QSpinBox>(tiles, "tlheight")->setValue(g.blockHeight);
                tiles->moveTileMapScroll(static_cast<std::int64_t>(rng() % 4096));
                const SharedState& s = app.state();
                Bitmap whole;
                decodeTileMap(s.rom, s.tileMapPosition, codec, s.geometry, s.palettes, whole);
                const int bw = g.tileWidth * g.blockWidth;
                const int bh = g.tileHeight * g.blockHeight;
                // Each data map cell is the block its byte names (cell 0 is framed);
                // drawn first, before the tile map has shown anything.
                const QImage shownData = dataMap->grab().toImage();
                for (int cell = 1; cell < 40; ++cell) {
                    const int code = s.rom[static_cast<std::size_t>(s.dataPosition + cell)];
                    const int x0 = (cell % s.dataMapWidth) * 2 * bw;
                    const int y0 = (cell / s.dataMapWidth) * 2 * bh;
                    if (x0 + 2 * bw > shownData.width() || y0 + 2 * bh > shownData.height())
                        break;
                    for (int y = 0; y < 2 * bh; y += 2)
                        for (int x = 0; x < 2 * bw; x += 2)
                            QCOMPARE(shownData.pixel(x0 + x, y0 + y) | 0xFF000000u,
                                     whole.at((code % 16) * bw + x / 2, (code / 16) * bh + y / 2));
                }
                // The map at twice its size; block 0 carries the frames.
                const QImage shownMap = tileMap->grab().toImage();
                for (int y = 0; y < shownMap.height(); y += 3)
                    for (int x = 0; x < shownMap.width(); x += 3)
                        if (x / 2 >= bw || y / 2 >= bh)
                            QCOMPARE(shownMap.pixel(x, y) | 0xFF000000u, whole.at(x / 2, y / 2));
            }
    }
};

QUARN_GUI_TEST(pictures, PicturesTest);
#include "pictures_test.moc"
