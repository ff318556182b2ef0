#pragma once
// A menu look whose colours differ from one another, pictures made up in
// memory, and a recording context that keeps the pictures drawn and
// measures text as the menu shows it (no "&" marks).

#include <map>
#include <optional>
#include <vector>

#include "RecordingDeviceContext.h"
#include "platform/Bitmap.h"
#include "platform/MenuLook.h"

namespace tabulon::fakes {

class FakeMenuLook : public IMenuLook {
public:
    Colour GetColour(MenuColour which) const override { return 0x00200000u + static_cast<Colour>(which); }
    int GetMenuBarHeight() const override { return barHeight; }
    LogFont GetMenuFont() const override { return font; }

    int barHeight = 20;
    LogFont font{-12, 0, 0, 0, 400, false, false, false, 0, "Menu Sans"};
};

class FakePictureSource : public IPictureSource {
public:
    std::optional<Bitmap> LoadBitmap(int resource) override {
        const auto it = bitmaps.find(resource);
        if (it == bitmaps.end()) return std::nullopt;
        return it->second;
    }
    std::vector<int> ToolbarCommands(int resource) override {
        const auto it = toolbars.find(resource);
        return it == toolbars.end() ? std::vector<int>{} : it->second;
    }

    // A picture of one colour, count pictures side by side.
    static Bitmap Solid(Pixel pixel, int count = 1, int width = 16, int height = 15) {
        return {width * count, height, 1, std::vector<Pixel>(static_cast<std::size_t>(width * count * height), pixel)};
    }

    std::map<int, Bitmap> bitmaps;
    std::map<int, std::vector<int>> toolbars;
};

class RecordingMenuContext : public RecordingDeviceContext {
public:
    struct Picture {
        Bitmap bitmap;
        Point at;
    };
    void DrawBitmap(const Bitmap& bitmap, Point at) override { pictures.push_back({bitmap, at}); }
    int DrawText(std::string_view text, Rect& rect, TextFormats format) override {
        if (!(format & TextFormat::kCalcRect)) return RecordingDeviceContext::DrawText(text, rect, format);
        int shown = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '&' && i + 1 < text.size()) ++i;
            ++shown;
        }
        rect.right = rect.left + shown * charWidth;
        rect.bottom = rect.top + charHeight;
        return charHeight;
    }
    std::vector<Picture> pictures;
};

}  // namespace tabulon::fakes
