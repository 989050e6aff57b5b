#include "DesktopChooser.h"

namespace {

struct Grid
{
    int columns = 0;
    int rows = 0;
    int cellWidth = 0;
    int cellHeight = 0;

    // A grid with no columns or rows, or with more of them than the control
    // has pixels, cannot be drawn or clicked: its cells would be 0 wide.
    bool Usable() const { return cellWidth > 0 && cellHeight > 0; }
};

Grid GridOf(HWND window)
{
    Grid grid;
    const DWORD size = static_cast<DWORD>(GetWindowLongA(window, kChooserGridOffset));
    grid.columns = LOWORD(size);
    grid.rows = HIWORD(size);
    RECT client{};
    GetClientRect(window, &client);
    if (grid.columns > 0 && grid.rows > 0) {
        grid.cellWidth = (client.right - client.left) / grid.columns;
        grid.cellHeight = (client.bottom - client.top) / grid.rows;
    }
    return grid;
}

bool IsInert(HWND window, const Grid& grid)
{
    return GetWindowLongA(window, kChooserDisabledOffset) != 0 || !grid.Usable();
}

int Clamp(int value, int count)
{
    if (value < 0)
        return 0;
    return value >= count ? count - 1 : value;
}

void Select(HWND window, const Grid& grid, int column, int row)
{
    const LONG cell = MAKELONG(Clamp(column, grid.columns), Clamp(row, grid.rows));
    if (cell == GetWindowLongA(window, kChooserCellOffset))
        return;
    SetWindowLongA(window, kChooserCellOffset, cell);
    InvalidateRect(window, nullptr, TRUE);
    HWND parent = GetParent(window);
    if (parent) {
        const int id = GetDlgCtrlID(window);
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
    }
}

void FillBox(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    RECT box{left, top, right, bottom};
    FillRect(dc, &box, brush);
}

void PaintInert(HDC dc, const RECT& client)
{
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    int mark = (width < height ? width : height) / 8;
    mark = mark < 1 ? 1 : (mark > 6 ? 6 : mark);
    FillBox(dc, client.left + 1, client.top + 1, client.left + 1 + mark, client.top + 1 + mark,
            static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillBox(dc, client.right - 1 - mark, client.bottom - 1 - mark, client.right - 1, client.bottom - 1,
            static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

void PaintGrid(HWND window, HDC dc, const Grid& grid)
{
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const DWORD cell = static_cast<DWORD>(GetWindowLongA(window, kChooserCellOffset));
    const int selectedColumn = Clamp(LOWORD(cell), grid.columns);
    const int selectedRow = Clamp(HIWORD(cell), grid.rows);
    HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            // The pixels left over by the division go to the last column and
            // row, which a click there also selects.
            RECT box{column * grid.cellWidth, row * grid.cellHeight,
                     column == grid.columns - 1 ? client.right : (column + 1) * grid.cellWidth,
                     row == grid.rows - 1 ? client.bottom : (row + 1) * grid.cellHeight};
            const bool selected = column == selectedColumn && row == selectedRow;
            FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
            FrameRect(dc, &box, frame);
            if (selected && GetFocus() == window && grid.cellWidth > 4 && grid.cellHeight > 4) {
                InflateRect(&box, -2, -2);
                DrawFocusRect(dc, &box);
            }
        }
    }
}

void Paint(HWND window)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    const Grid grid = GridOf(window);
    if (IsInert(window, grid)) {
        RECT client{};
        GetClientRect(window, &client);
        PaintInert(dc, client);
    } else {
        PaintGrid(window, dc, grid);
    }
    EndPaint(window, &paint);
}

void OnArrowKey(HWND window, WPARAM key)
{
    const Grid grid = GridOf(window);
    if (IsInert(window, grid))
        return;
    const DWORD cell = static_cast<DWORD>(GetWindowLongA(window, kChooserCellOffset));
    int column = Clamp(LOWORD(cell), grid.columns);
    int row = Clamp(HIWORD(cell), grid.rows);
    switch (key) {
    case VK_LEFT: --column; break;
    case VK_RIGHT: ++column; break;
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    default: return;
    }
    Select(window, grid, column, row);
}

void OnClick(HWND window, LPARAM point)
{
    const Grid grid = GridOf(window);
    if (IsInert(window, grid))
        return;
    const int x = static_cast<short>(LOWORD(point));
    const int y = static_cast<short>(HIWORD(point));
    Select(window, grid, x / grid.cellWidth, y / grid.cellHeight);
}

} // namespace

LRESULT CALLBACK DesktopChooserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetWindowLongA(window, kChooserGridOffset, 0);
        SetWindowLongA(window, kChooserCellOffset, 0);
        SetWindowLongA(window, kChooserDisabledOffset, 0);
        return 0;
    case kChooserSetState:
        SetWindowLongA(window, kChooserDisabledOffset, wParam ? 1 : 0);
        if (lParam != -1)
            SetWindowLongA(window, kChooserCellOffset, static_cast<LONG>(lParam));
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case kChooserGetCell:
        return static_cast<DWORD>(GetWindowLongA(window, kChooserCellOffset));
    case kChooserSetGrid:
        SetWindowLongA(window, kChooserGridOffset, static_cast<LONG>(lParam));
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_BUTTON;
    case WM_LBUTTONDOWN:
        // Clicking a control in a dialog gives it the focus, as a button does.
        SetFocus(window);
        return 0;
    case WM_LBUTTONUP:
        OnClick(window, lParam);
        return 0;
    case WM_KEYUP:
        OnArrowKey(window, wParam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        // WM_PAINT covers every pixel.
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL RegisterDesktopChooserClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DesktopChooserProc;
    windowClass.cbWndExtra = kDesktopChooserExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kDesktopChooserClass;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
