// Shared set-up of Pelta's tests: the headless window system, a skin folder of pictures made for
// the test, the program's fonts, and controls that record what reaches them.
#pragma once

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "pelta/core/control_font.h"
#include "pelta/core/dialog.h"
#include "pelta/core/headless_window_system.h"
#include "pelta/core/manager.h"
#include "tests/support/temp_dir.h"

namespace Pelta::testing {

class PeltaTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto system = std::make_unique<HeadlessWindowSystem>();
        headless = system.get();
        WindowSystem::Install(std::move(system));
        std::filesystem::create_directories(dir / "skins" / "theme1");
        std::filesystem::create_directory_symlink(PELTA_TEST_FONT_DIR, dir / "font");
        Manager::SetResourceFolder(dir.path());
    }
    void TearDown() override {
        Manager::PumpMessages();
        WindowSystem::Install(nullptr);
    }

    // Handles queued messages until done() or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            if (!Manager::PumpMessages()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    // Everything queued now, and the paint that follows it.
    static void Settle() {
        PumpUntil([] { return false; }, 40);
    }

    std::filesystem::path Skin(const std::string& name) const { return dir.path() / "skins" / "theme1" / name; }

    // A strip of `frames` solid frames, frame k filled with colours[k].
    void WriteStrip(const std::string& name, int frameW, int h, const std::vector<ARGB>& colours) const {
        SurfacePtr s = CreateArgbSurface(frameW * static_cast<int>(colours.size()), h);
        ContextPtr cr(cairo_create(s.get()));
        for (size_t k = 0; k < colours.size(); ++k)
            MRender::DrawColor(cr.get(), CRect::FromSize(static_cast<int>(k) * frameW, 0, frameW, h), colours[k]);
        cairo_surface_write_to_png(s.get(), Skin(name).c_str());
    }

    // A GIF written by giflib: frames of w x h, frame k all of palette colour k + 1.
    void WriteGif(const std::string& name, int w, int h, int frames) const {
        int error = 0;
        GifFileType* gif = EGifOpenFileName(Skin(name).c_str(), false, &error);
        ASSERT_TRUE(gif);
        GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        ColorMapObject* map = GifMakeMapObject(4, colours);
        EGifSetGifVersion(gif, true);
        EGifPutScreenDesc(gif, w, h, 2, 0, map);
        for (int f = 0; f < frames; ++f) {
            GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 5, NO_TRANSPARENT_COLOR};
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
            EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
            std::vector<GifPixelType> row(static_cast<size_t>(w), static_cast<GifPixelType>(1 + f % 3));
            for (int y = 0; y < h; ++y) EGifPutLine(gif, row.data(), w);
        }
        GifFreeMapObject(map);
        EGifCloseFile(gif, &error);
    }

    vantrel::testing::TempDir dir;
    HeadlessWindowSystem* headless = nullptr;
};

// The entries of a log that mention any of the words.
inline std::vector<std::string> Only(const std::vector<std::string>& log, std::initializer_list<std::string> words) {
    std::vector<std::string> out;
    for (const std::string& line : log)
        for (const std::string& w : words)
            if (line.find(w) != std::string::npos) {
                out.push_back(line);
                break;
            }
    return out;
}
inline std::vector<std::string> Only(const std::vector<std::string>& log, const std::string& word) {
    return Only(log, {word});
}

// ARGB of one pixel of a surface.
inline ARGB PixelAt(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    return *reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * cairo_image_surface_get_stride(s) + x * 4);
}

// A control that logs what reaches it, paints itself in one colour and can be told to claim events.
class Probe : public MControlFont {
public:
    Probe(MObject* parent, unsigned id, CRect rect, std::vector<std::string>* log, int visible = 1, int enabled = 1)
        : MControlFont(parent, id, rect, u"", visible, enabled, 1), log_(log) {}

    ARGB colour = 0xFF3060C0;
    bool claimMoves = false;
    bool acceptFocus = false;
    bool notifyClick = false; // NOTIFY_CLICK on a release inside
    void SetDblClk(int v) { dblClk_ = v; }
    int timerTicks = 0;

    void DrawControl(cairo_t* cr, CRect) override { MRender::DrawColor(cr, rect_, colour); }
    long OnControlMouseMove(unsigned, CPoint pt) override {
        Log("move", pt);
        return claimMoves && rect_.PtInRect(pt);
    }
    long OnControlLButtonDown(unsigned, CPoint pt) override { return Log("down", pt); }
    long OnControlLButtonUp(unsigned, CPoint pt) override {
        Log("up", pt);
        if (notifyClick && rect_.PtInRect(pt)) SendMessageW(NOTIFY_CLICK, 0, 0);
        return 1;
    }
    long OnControlLButtonDblClk(unsigned, CPoint pt) override { return Log("dblclk", pt); }
    long OnControlRButtonDown(unsigned, CPoint pt) override { return Log("rdown", pt); }
    long OnControlRButtonUp(unsigned, CPoint pt) override { return Log("rup", pt); }
    long OnControlScroll(int, unsigned down, CPoint pt) override { return Log(down ? "wheel-down" : "wheel-up", pt); }
    long OnControlKeyDown(unsigned vk, unsigned, unsigned modifier) override {
        log_->push_back(Name() + " key " + std::to_string(vk) + " mod " + std::to_string(modifier));
        return 1;
    }
    long OnControlTimer() override {
        ++timerTicks;
        return 1;
    }
    int SetControlFocus(int focus) override {
        MControl::SetControlFocus(focus);
        if (!acceptFocus) return 0;
        focused_ = focus;
        log_->push_back(Name() + (focus ? " focus" : " blur"));
        return 1;
    }

    std::string Name() const { return "#" + std::to_string(id_); }
    // Parent-side helpers for building trees by hand.
    template <class T, class... A> T* Add(A&&... args) {
        auto child = std::make_unique<T>(this, std::forward<A>(args)...);
        T* raw = child.get();
        if (manager_) raw->SetManager(manager_);
        AddChild(std::move(child), 1);
        return raw;
    }
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
        return parent_ ? parent_->OnBaseMessage(id, code, wParam, lParam) : 0; // containers forward unchanged
    }
    long OnControlUpdate(CRect area, int changed, MControl*) override {
        if (changed) SetUpdate(0);
        return parent_ ? parent_->OnControlUpdate(area, changed, this) : 0;
    }
    void InitControl(PaintManager* manager) override {
        for (MControl* c : GetControls()) c->SetManager(manager);
    }

private:
    long Log(const char* what, CPoint pt) {
        log_->push_back(Name() + " " + what + " " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        return 1;
    }
    std::vector<std::string>* log_;
};

// A dialog that records notifications and can run a reaction to them.
class HostDialog : public MDialog {
public:
    struct Note {
        unsigned id, code, wParam;
        long lParam;
        bool operator==(const Note&) const = default;
    };
    std::vector<Note> notes;
    std::function<void(const Note&)> onNote;
    std::vector<std::string> log;

    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
        notes.push_back({id, code, wParam, lParam});
        if (onNote) onNote(notes.back());
        return 0;
    }
    HWND Open(CRect rect = CRect::FromSize(100, 100, 320, 200)) {
        const HWND h = Create(0, u"Test", 0, 0, rect);
        ShowWindow(SW_SHOW);
        return h;
    }
    Probe* AddProbe(unsigned id, CRect rect, int visible = 1, int enabled = 1) {
        auto* p = static_cast<Probe*>(manager_.AddControl(std::make_unique<Probe>(this, id, rect, &log, visible, enabled)));
        return p;
    }
};

} // namespace Pelta::testing
