#pragma once
// What the Graph page asks of the program: to draw the Formula page's formula into an area of a
// device context in a diagram mode. The application object answers it; the page finds it as the
// running application, so the page also works under a test application.

class CDC;

class CGraphHost {
public:
    virtual ~CGraphHost() = default;
    virtual void DrawGraph(CDC* dc, int left, int top, int right, int bottom, int mode) = 0;
};
