#include "app/desktopentry.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

// The menu entry a package installs and the "Open with" entry the program
// writes offer the program for the same ROM types.
TEST(InstalledDesktopEntry, OffersTheRomTypesTheOpenWithEntryOffers)
{
    std::ifstream file(QUARN_PACKAGING_DIR "/quarn-tile-mapper.desktop");
    ASSERT_TRUE(file) << "cannot read the installed desktop entry";
    std::string line;
    std::string mimeTypes;
    while (std::getline(file, line))
        if (line.rfind("MimeType=", 0) == 0)
            mimeTypes = line.substr(9);
    EXPECT_EQ(mimeTypes, kRomMimeTypes);
    EXPECT_NE(desktopEntryText("Open in Quarn Tile Mapper", "/usr/bin/quarn-tile-mapper").find(mimeTypes),
              std::string::npos);
}
