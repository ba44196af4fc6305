#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QRawFont>
#include <QRect>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <vector>

#include "widgets/GridLines.h"

namespace rix {

class StringGrid;

// Paints the grid's cells and creates the cell editor the grid's owner chooses
// for each column: a plain text box, a text box with an ellipsis button, or a
// drop-down list.
//
// The style lays a cell's text out twice at every paint; a page of a long
// list is mostly plain cells, so those are drawn here from a text laid out
// once and kept while the cell's bytes and its size stay, beside the style's
// own geometry for that size. Selected, focused, hovered, link and elided
// cells go through the style as before.
//
// A text of characters that are never shaped by their neighbours (Chinese
// characters, ASCII without the ligature letter f, Greek, Cyrillic, ...; the
// grid's font has kerning off) is laid out from each character's glyph and
// advance, looked up once per character, so a page of new cells costs a
// lookup per character instead of a shaping per cell. Any other text goes
// through QStaticText.
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit GridDelegate(StringGrid* grid);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

  // Off: every cell goes through the style (for comparing the two).
  void setOwnPainting(bool on) { ownPainting_ = on; }
  bool ownPainting() const { return ownPainting_; }
  // Draws a cell that is neither selected, current, hovered nor edited as
  // paint() would, with option as the view sets it up for every cell and
  // option.rect the cell's; false, with nothing drawn, when the cell needs
  // the style. Leaves the painter's pen at the text's colour.
  bool paintPlain(QPainter* painter, const QStyleOptionViewItem& option, int col,
                  int gridRow) const;
  // Draws the current (or a selected) cell as paint() would, with option as
  // the view sets it up for that cell (selected, focus): the style draws the
  // cell's panel, picture and focus frame, the text is the kept layout in
  // the selection's colour, in the style's order. False, with nothing
  // drawn, when the cell needs the style whole (links, texts it elides, a
  // hovered or edited cell).
  bool paintCurrent(QPainter* painter, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const;
  // Between these two, the quick texts paintPlain() draws with `painter`
  // are gathered and drawn at the end as one glyph run a font: the painter's
  // work for a run is then spent once a paint instead of once a cell.
  // Pictures are drawn at once; texts and pictures do not overlap.
  void beginTextBatch(QPainter* painter) const;
  void drawTextBatch(QPainter* painter) const;
  // Forgets every laid-out text, as a change of font or style must.
  void dropLayouts() const;
  // Lays out, ahead of their paint, the texts of rows first..last (grid
  // rows) in the columns given with their cell widths.
  void prepareRows(int first, int last, const std::vector<std::pair<int, int>>& colWidths) const;

private:
  // Where the style puts a cell's picture and text, for one cell size.
  struct Geometry {
    QRect icon;  // relative to the cell's top left; empty without a picture
    QRect text;  // the text's box, margins taken off
    int baseline = 0;
  };
  // A glyph of a quick text: `x` from the text's left, on its baseline, in
  // `font` of rawFonts_.
  struct QuickGlyph {
    qreal x = 0;
    quint32 glyph = 0;
    qint32 font = 0;
  };
  struct Layout {
    QByteArray bytes;
    int width = 0;
    std::optional<QStaticText> text;  // when the text is not quick
    std::vector<QuickGlyph> glyphs;   // when it is, in the text's order
    qreal ascent = 0;                 // the quick text's baseline below its top
    qreal textWidth = 0;
    bool link = false;
    bool quick = false;
  };
  // A character's glyph in the font that draws it, as a lone character's
  // layout gives it; font -1 when the character is not laid out quickly.
  struct CharGlyph {
    quint32 glyph = 0;
    qint32 font = -1;
    qreal advance = 0;
    qreal ascent = 0;
  };

  void paintStyled(QPainter* painter, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const;
  bool paintOwn(QPainter* painter, const QStyleOptionViewItem& option,
                const QModelIndex& index) const;
  // A cell as this painter draws it: its picture (null without one), where
  // the style puts picture and text, and its text laid out (null when
  // empty); false when the cell needs the style (a scaled picture, a link, a
  // text the style would elide).
  struct Parts {
    const QPixmap* icon = nullptr;
    const Geometry* g = nullptr;
    const Layout* text = nullptr;
  };
  bool partsOf(const QStyleOptionViewItem& option, int col, int gridRow, Parts& parts) const;
  // The text of a cell, laid out, at `at` (its box's left, the baseline's top).
  void drawText(QPainter* painter, QPointF at, const Layout& l, const QColor& colour,
                const QFont& font) const;
  const Layout& layoutFor(int col, int gridRow, QByteArrayView bytes, int width) const;
  void layOut(Layout& l, const QString& text) const;
  bool layOutQuickly(Layout& l, const QString& text) const;
  const CharGlyph& glyphOf(char16_t c) const;
  void setLayoutFont(const QFont& font, const void* style) const;
  const Geometry& geometryFor(const QStyleOptionViewItem& option, int col, int gridRow,
                              bool withIcon, QSize iconSize) const;

  StringGrid* grid_;
  bool ownPainting_ = true;
  // Laid-out texts by row (its id, which stays through sorts) and column;
  // layoutCount_ counts the layouts made since they were last dropped, and
  // lastRow_ is the row last looked up, until the next.
  mutable QHash<std::uint32_t, std::vector<Layout>> rowLayouts_;
  mutable qsizetype layoutCount_ = 0;
  mutable std::uint32_t lastRowId_ = 0;
  mutable std::vector<Layout>* lastRow_ = nullptr;
  mutable QHash<quint64, Geometry> geometries_;
  mutable QFont layoutFont_;
  mutable QHash<char16_t, CharGlyph> glyphs_;
  mutable std::vector<QRawFont> rawFonts_;
  mutable const void* layoutStyle_ = nullptr;
  // The glyphs gathered for drawTextBatch() in one font of rawFonts_, in the
  // colour of batchColour_; kept from paint to paint with their room.
  struct BatchRun {
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  void addToBatch(QPainter* painter, QPointF at, const Layout& l, const QColor& colour) const;
  void flushBatch(QPainter* painter) const;
  // A cell's picture at `at`. Where the painter writes straight into an
  // image and the picture's place holds one colour only (the background just
  // filled), the pixels the painter gives the picture over that colour are
  // made once and copied; the painter draws it otherwise.
  void drawPicture(QPainter* painter, QPoint at, const QPixmap& picture) const;
  bool copyPicture(QPainter* painter, QPoint at, const QPixmap& picture) const;
  struct PictureOver {
    qint64 picture;
    QRgb under;
    QImage::Format format;
    QImage pixels;
  };
  mutable std::vector<PictureOver> picturesOver_;
  // The current cell's look without its text and focus frame, as the style
  // draws it for one size, state, palette and picture (panel null when it
  // must be drawn by the style each time), and where the style puts the
  // focus frame, relative to the cell's top left.
  struct LookKey {
    QSize size;
    int rowState = 0;
    int state = 0;
    int features = 0;
    int group = 0;
    int decorationAlignment = 0;
    int decorationPosition = 0;
    int displayAlignment = 0;
    int viewItemPosition = 0;
    bool showDecorationSelected = false;
    QSize decorationSize;
    qint64 palette = 0;
    qint64 picture = 0;
    bool operator==(const LookKey&) const = default;
  };
  struct CurrentLook {
    LookKey key;
    QImage panel;
    QRect focus;
  };
  const CurrentLook& currentLook(const QStyleOptionViewItem& row, const QStyleOptionViewItem& cell,
                                 const QPixmap* picture, const QPainter* painter) const;
  mutable std::vector<CurrentLook> currentLooks_;
  mutable DirectImage direct_;  // of the painter of the batch
  mutable QTransform directTransform_;
  mutable bool batching_ = false;
  mutable bool batchPending_ = false;
  mutable QColor batchColour_;
  mutable std::vector<BatchRun> batch_;  // one a font of rawFonts_
};

}  // namespace rix
