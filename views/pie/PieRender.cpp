#include "views/pie/PieRender.h"

#include <QPainter>
#include <cmath>
#include <optional>

#include "views/common/NumberText.h"
#include "views/gradient/GradientPattern.h"
#include "views/pie/Logos.h"
#include "views/pie/PieShading.h"

namespace {

constexpr std::uint32_t kSpecialFileAttributes =
    kPieAttrReadOnly | kPieAttrSystem | kPieAttrTemporary | kPieAttrCompressed;

constexpr double kPi = 3.14159265358979323846;

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

// Fills the piece's sector with the painter's pen and brush. The sector is
// taken from the angles themselves rather than from the truncated radial end
// points: a thin slice whose two end points fall on the same pixel stays a
// thin slice instead of turning into a whole disc.
void DrawSector(QPainter& canvas, const TPiePiece& piece) {
    const double sweep = static_cast<double>(piece.EndAngle) - piece.StartAngle;
    if (!(sweep > 0.0) || piece.Width <= 0 || piece.Height <= 0) {
        return;
    }
    const int span = sweep >= 360.0 ? 360 * 16 : static_cast<int>(std::lround(sweep * 16.0));
    if (span <= 0) {
        return;
    }
    // Screen angles of the painter start at three o'clock; ours at nine. The
    // running angle is not capped, so it is brought into one turn first.
    const double turn = std::fmod(180.0 + piece.StartAngle, 360.0);
    if (!std::isfinite(turn)) {
        return;
    }
    const int start = static_cast<int>(std::lround(turn * 16.0)) % (360 * 16);
    // The ellipse through the centres of the square's outer pixels: aliased,
    // it covers exactly Width x Height pixels from (Left, Top), for odd and
    // even sizes alike (an integer rectangle grows by one for even sizes).
    const QRectF square(piece.Left + 0.5, piece.Top + 0.5, piece.Width - 1.0, piece.Height - 1.0);
    canvas.drawPie(square, start, span);
}

std::optional<std::string> SlicePath(const TDrawDataPie& data, const TPieFiles& files) {
    if (files.Paths == nullptr || data.CurrentSlice < 0 ||
        static_cast<std::size_t>(data.CurrentSlice) >= files.Paths->size()) {
        return std::nullopt;
    }
    return std::string((*files.Paths)[data.CurrentSlice]);
}

float PercentSweep(std::string_view percentText) {
    const float percent = static_cast<float>(StrToFloat(percentText));
    return percent / 100.0f * 360.0f;
}

}  // namespace

QPoint PieRadialEnd(float angle, int left, int top, int side) {
    const double radians = (static_cast<double>(angle) - 90.0) * kPi / 180.0;
    const double half = side / 2.0;
    return QPoint(left + static_cast<int>(std::trunc(std::sin(radians) * half)) + side / 2,
                  top + static_cast<int>(std::trunc(std::cos(radians) * half)) + side / 2);
}

bool PieOK(const TDrawDataPie& data) {
    return data.Colors != nullptr && data.Percents != nullptr && data.Names != nullptr &&
           !data.Colors->empty() && !data.Percents->empty() && !data.Names->empty();
}

void BeforePieDraw(TDrawDataPie& data) {
    const int s = PieBitmapDiameter(data);
    const int width = s + 2 * data.LeftMargin;
    const int height = s + 2 * data.TopMargin;
    QImage& image = *data.Image;
    if (image.width() != width || image.height() != height ||
        image.format() != QImage::Format_ARGB32) {
        image = QImage(width, height, QImage::Format_ARGB32);
    }
    image.fill(0x00FFFFFFu);
}

void DrawBeveledPie(TDrawDataPie& data, int bitmapDiameter, const TPieFiles& files) {
    data.AngleOverflow = false;
    const int n = data.Percents == nullptr ? 0 : static_cast<int>(data.Percents->size());
    if (n == 0 || data.Image == nullptr) {
        return;
    }
    const int passes = data.UniformBevel ? 1 : data.BevelDepth;
    // Every fill is opaque and the hatch leaves its gaps untouched, so
    // painting the same words as premultiplied pixels gives the same bitmap
    // while the painter skips converting each span to and from ARGB32.
    QImage& image = *data.Image;
    QImage premultiplied(image.bits(), image.width(), image.height(), image.bytesPerLine(),
                         QImage::Format_ARGB32_Premultiplied);
    QPainter canvas(&premultiplied);
    canvas.setRenderHint(QPainter::Antialiasing, false);
    for (int q = 0; q <= passes; ++q) {
        float angle = 0.0f;
        float total = 0.0f;
        for (int j = 1; j <= n; ++j) {
            const bool remainder = j == n;
            float sweep;
            TColor color;
            if (remainder) {
                sweep = 360.0f - total;
                if (sweep <= 1.0f) {
                    continue;
                }
                color = data.OtherColor;
            } else {
                sweep = PercentSweep((*data.Percents)[j]);
                total += sweep;
                if (total > 362.0f) {
                    total = 360.0f;
                    data.AngleOverflow = true;
                }
                // Parallel lists of unequal length: a slice without a colour
                // entry is drawn grey rather than read past the list.
                color = data.Colors != nullptr && j < static_cast<int>(data.Colors->size())
                            ? StringToColor((*data.Colors)[j])
                            : clGray;
            }
            if (q < passes) {
                const int amount =
                    data.UniformBevel ? data.LightnessStep : (passes - q) * data.LightnessStep;
                color = ChangeLightness(color, amount);
            }
            const int inset = q * data.InsetPerPass;
            TPiePiece piece;
            piece.Left = data.LeftMargin + inset;
            piece.Top = data.TopMargin + inset;
            piece.Width = bitmapDiameter - 2 * inset;
            piece.Height = piece.Width;
            piece.StartAngle = angle;
            piece.EndAngle = angle + sweep;
            piece.Color = color;
            data.FinalPassSlice = q == passes && !remainder;
            if (!remainder) {
                data.CurrentSlice = j;
            }
            DrawPiePiece(canvas, piece, data, files);
            angle += sweep;  // not capped: slices past 360 degrees overlap the first
        }
    }
    data.FinalPassSlice = false;
}

void DrawPiePiece(QPainter& canvas, const TPiePiece& piece, const TDrawDataPie& data,
                  const TPieFiles& files) {
    std::optional<std::string> path;
    if (data.FinalPassSlice && files.Probe != nullptr && files.Probe->ListingHasItems()) {
        path = SlicePath(data, files);
    }
    if (!path) {
        DrawOrdFolderPiePiece(canvas, piece);
    } else {
        const TPieEntryState state = files.Probe->Probe(*path);
        if (state.Kind == TPieEntryKind::Folder) {
            DrawOrdFolderPiePiece(canvas, piece);
        } else if (state.Kind == TPieEntryKind::File) {
            if ((state.Attributes & kSpecialFileAttributes) != 0) {
                const int logo = LogoIMGInd(*path, *files.Probe);
                DrawNotOrdFileFolderPiePiece(canvas, piece,
                                             ChooseBrushImage(logo, data.Supersampling));
            } else {
                DrawOrdFilePiePiece(canvas, piece);
            }
        }
        // A vanished path draws nothing: the lighter earlier pass shows.
    }
    canvas.setBrush(Qt::NoBrush);
}

void DrawOrdFolderPiePiece(QPainter& canvas, const TPiePiece& piece) {
    const QColor color = ToQColor(piece.Color);
    canvas.setPen(QPen(color, 0));
    canvas.setBrush(color);
    DrawSector(canvas, piece);
}

void DrawOrdFilePiePiece(QPainter& canvas, const TPiePiece& piece) {
    DrawOrdFolderPiePiece(canvas, piece);
    canvas.setBackgroundMode(Qt::TransparentMode);
    canvas.setPen(QPen(Qt::white, 0));
    canvas.setBrush(QBrush(Qt::white, Qt::DiagCrossPattern));
    DrawSector(canvas, piece);
}

void DrawNotOrdFileFolderPiePiece(QPainter& canvas, const TPiePiece& piece, const QImage& tile) {
    canvas.setPen(QPen(ToQColor(piece.Color), 0));
    canvas.setBrush(BitmapBrush(tile));
    DrawSector(canvas, piece);
}

int LogoIMGInd(const std::string& path, const TPieFileProbe& probe) {
    std::uint32_t attributes;
    bool shellReadOnly = false;
    if (const auto item = probe.ListedItem(path)) {
        attributes = item->Attributes;
        shellReadOnly = item->ShellReadOnly;
    } else {
        // Not in the listing: the file's own attributes, never another item's.
        attributes = probe.Probe(path).Attributes;
    }
    int index = -1;
    if (attributes & kPieAttrSystem) {
        index = kLogoSystem;
    }
    if (attributes & kPieAttrTemporary) {
        index = kLogoTemporary;
    }
    if (shellReadOnly || (attributes & kPieAttrReadOnly)) {
        index = kLogoReadOnly;
    }
    if (attributes & kPieAttrCompressed) {
        index = kLogoCompressed;
    }
    return index;
}

QImage ChooseBrushImage(int logoIndex, float factor) {
    QImage source(kLogoSize, kLogoSize, QImage::Format_RGB32);
    source.fill(Qt::white);
    if (logoIndex >= 0 && logoIndex < kLogoCount) {
        QPainter painter(&source);
        painter.drawImage(0, 0, Logos()[logoIndex]);
    }
    const int side = std::max(1, static_cast<int>(std::trunc(kLogoSize * factor)));
    QImage tile(side, side, QImage::Format_RGB32);
    tile.fill(Qt::white);
    const int border = side / 6;
    if (side - 2 * border > 0) {
        QPainter painter(&tile);
        painter.drawImage(QRect(border, border, side - 2 * border, side - 2 * border), source);
    }
    return tile;
}

QBrush BitmapBrush(const QImage& tile) {
    return QBrush(tile);
}

QSize DrawPie(TDrawDataPie& data, const TPieFiles& files) {
    if (!PieOK(data) || data.Image == nullptr) {
        return {};
    }
    const int s = PieBitmapDiameter(data);
    BeforePieDraw(data);
    DrawBeveledPie(data, s, files);
    QImage gradient;
    if (data.Gradient != nullptr) {
        // A gradient that keeps no rendering hands over its pattern instead.
        gradient = data.Gradient->RenderedBitmap().isNull() ? data.Gradient->Pattern()
                                                            : data.Gradient->RenderedBitmap();
    }
    GradientOverlay(*data.Image, gradient, data.LeftMargin, data.TopMargin,
                    s / 2 - data.BevelDepth);
    CentreLight(*data.Image, 100, s / 4);
    return QSize(2 * data.LeftMargin + data.D, 2 * data.TopMargin + data.D);
}
