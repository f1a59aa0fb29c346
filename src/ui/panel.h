// Modal panels drawn over the scene (the promotion chooser, the file prompt): a titled grey
// panel in the middle of the window, drawn in window pixels with y growing downwards, as the
// mouse reports it.
#pragma once

namespace tarvex::ui {

inline constexpr int kPanelTitleHeight = 24;

// The top left corner of a panel of the given size (its title bar above it), centred.
void PanelCorner(int width, int height, int& left, int& top);

// The title bar and the panel's face, with the title in white; the current colour afterwards
// is white.
void DrawPanelFrame(int left, int top, int width, int height, const char* title);

// A filled rectangle in the current colour.
void Rectangle(int left, int top, int width, int height);

// Text in the panels' font from its left end on its baseline.
void Text(int left, int baseline, const char* text);
int TextWidth(const char* text);

// Sets up drawing in window pixels over the scene for its lifetime.
class PanelDrawing {
public:
    PanelDrawing();
    ~PanelDrawing();
    PanelDrawing(const PanelDrawing&) = delete;
    PanelDrawing& operator=(const PanelDrawing&) = delete;
};

}  // namespace tarvex::ui
