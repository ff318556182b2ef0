#pragma once
// A device context that records every drawing call as one line of text and
// measures text as fixed-pitch: each character is charWidth wide and a line
// is charHeight high.

#include <sstream>
#include <string>
#include <vector>

#include "platform/DeviceContext.h"

namespace tabulon::fakes {

struct DrawCall {
    std::string kind;           // "fill", "frame", "line", "edge", "polygon", "checkbox", "text"
    Rect rect;                  // fill, frame, edge, checkbox, text
    Point from, to;             // line
    std::vector<Point> points;  // polygon
    Colour colour = 0;          // fill, frame, line, polygon; text: the text colour
    std::string text;           // text
    unsigned format = 0;        // text: the bits of its TextFormats
    bool checked = false;       // checkbox
    EdgeStyle edge = EdgeStyle::Raised;
    LogFont font;  // text: the font in use
};

class RecordingDeviceContext : public IDeviceContext {
public:
    void SaveState() override {
        saved.push_back({textColour, font});
        ++saves;
    }
    void RestoreState() override {
        if (saved.empty()) {
            ++unbalancedRestores;
            return;
        }
        textColour = saved.back().colour;
        font = saved.back().font;
        saved.pop_back();
        ++restores;
    }
    void SetTransparentBackground() override { transparent = true; }
    void SetTextColour(Colour c) override { textColour = c; }
    void SelectFont(const LogFont& f) override {
        font = f;
        ++fontSelections;
    }

    void FillRect(const Rect& r, Colour c) override { Add("fill", r, c); }
    void FrameRect(const Rect& r, Colour c) override { Add("frame", r, c); }
    void DrawLine(Point a, Point b, Colour c) override {
        DrawCall call;
        call.kind = "line";
        call.from = a;
        call.to = b;
        call.colour = c;
        calls.push_back(call);
    }
    void DrawEdge(const Rect& r, EdgeStyle s) override {
        DrawCall call;
        call.kind = "edge";
        call.rect = r;
        call.edge = s;
        calls.push_back(call);
    }
    void FillPolygon(const std::vector<Point>& pts, Colour c) override {
        DrawCall call;
        call.kind = "polygon";
        call.points = pts;
        call.colour = c;
        calls.push_back(call);
    }
    void DrawCheckBox(const Rect& r, bool isChecked) override {
        DrawCall call;
        call.kind = "checkbox";
        call.rect = r;
        call.checked = isChecked;
        calls.push_back(call);
    }
    int DrawText(std::string_view t, Rect& r, TextFormats f) override {
        if (f & TextFormat::kCalcRect) {
            const int lines = LineCountFor(t, r.right - r.left, f);
            r.bottom = r.top + lines * charHeight;
            return lines * charHeight;
        }
        DrawCall call;
        call.kind = "text";
        call.rect = r;
        call.text = t;
        call.format = f.ToBits();
        call.colour = textColour;
        call.font = font;
        calls.push_back(call);
        return charHeight;
    }
    Size GetTextExtent(std::string_view t) override { return {static_cast<int>(t.size()) * charWidth, charHeight}; }
    int GetFontOverhang() override { return overhang; }

    std::vector<DrawCall> Of(const std::string& kind) const {
        std::vector<DrawCall> out;
        for (const auto& c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }

    int charWidth = 7;
    int charHeight = 14;
    int overhang = 0;
    Colour textColour = 0;
    LogFont font;
    bool transparent = false;
    int saves = 0, restores = 0, unbalancedRestores = 0, fontSelections = 0;
    std::vector<DrawCall> calls;

private:
    struct Saved {
        Colour colour;
        LogFont font;
    };
    std::vector<Saved> saved;

    void Add(const char* kind, const Rect& r, Colour c) {
        DrawCall call;
        call.kind = kind;
        call.rect = r;
        call.colour = c;
        calls.push_back(call);
    }
    // Word-wraps at blanks to the given width, like a simple text layout.
    int LineCountFor(std::string_view t, int width, TextFormats f) const {
        int lines = 0;
        std::istringstream in{std::string(t)};
        std::string line;
        while (std::getline(in, line)) {
            ++lines;
            if ((f & TextFormat::kWordBreak) && width > 0) {
                int w = static_cast<int>(line.size()) * charWidth;
                while (w > width) {
                    ++lines;
                    w -= width;
                }
            }
        }
        return lines == 0 ? 1 : lines;
    }
};

}  // namespace tabulon::fakes
