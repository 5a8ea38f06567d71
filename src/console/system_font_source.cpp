// The machine's fonts as a FontSource: typefaces and styles from QFontDatabase, the three
// classic faces through their metric-compatible substitutes when they are not installed,
// and fonts made at a cell height and an average character width.

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <mutex>
#include <string_view>

#include "console/font_source.h"

namespace console {

namespace {

constexpr std::size_t kFaceNameLimit = 31;
// The cell height of a scalable font's own size, and of a font made with height 0.
constexpr int kNaturalCellHeight = 16;
constexpr int kLargestPixelSize = 1024;

struct Substitute {
  const char* face;
  const char* substitute;
};
constexpr std::array<Substitute, 3> kSubstitutes = {{
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
}};

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string to_std(const QString& text) { return text.toLatin1().toStdString(); }

// The installed families, without private ones.
QStringList installed_families() {
  QStringList families;
  for (const QString& family : QFontDatabase::families()) {
    if (!QFontDatabase::isPrivateFamily(family)) families.push_back(family);
  }
  return families;
}

bool is_installed(const QStringList& families, const std::string& face) {
  return std::any_of(families.begin(), families.end(),
                     [&](const QString& family) { return equal_ignoring_case(to_std(family), face); });
}

// Sets the largest pixel size whose line height fits `cell_height`.
void fit_cell_height(QFont& font, int cell_height) {
  auto height_at = [&](int pixel_size) {
    font.setPixelSize(pixel_size);
    return QFontMetrics(font).height();
  };
  const int first = height_at(cell_height);
  int pixel_size = cell_height;
  if (first > 0 && first != cell_height) pixel_size = std::max(1, cell_height * cell_height / first);
  while (pixel_size > 1 && height_at(pixel_size) > cell_height) --pixel_size;
  while (pixel_size < kLargestPixelSize && height_at(pixel_size + 1) <= cell_height) ++pixel_size;
  font.setPixelSize(pixel_size);
}

// Stretches the font so that its average character width meets `width`.
void fit_average_width(QFont& font, int width) {
  const int average = QFontMetrics(font).averageCharWidth();
  if (average <= 0 || average == width) return;
  font.setStretch(std::clamp(static_cast<int>(100.0 * width / average + 0.5), 1, 4000));
}

TextMetrics measure_font(const QFont& font, const LogicalFont& description) {
  const QFontMetrics metrics(font);
  TextMetrics m;
  m.height = metrics.height();
  m.ascent = metrics.ascent();
  m.descent = metrics.descent();
  m.internal_leading = std::max(0, metrics.height() - font.pixelSize());
  m.external_leading = std::max(0, metrics.leading());
  m.average_char_width = metrics.averageCharWidth();
  m.max_char_width = metrics.maxWidth();
  m.weight = description.weight;
  m.italic = description.italic;
  m.underline = description.underline;
  m.pitch_and_family = description.pitch_and_family;
  return m;
}

class SystemFontSource final : public FontSource {
 public:
  std::optional<std::vector<std::string>> typefaces() override {
    const QStringList families = installed_families();
    std::vector<std::string> names;
    std::lock_guard lock(mutex_);
    family_of_face_.clear();
    for (const QString& family : families) {
      std::string face = to_std(family);
      if (face.empty()) continue;
      if (face.size() > kFaceNameLimit) face.resize(kFaceNameLimit);
      if (family_of_face_.emplace(face, family).second) names.push_back(face);
    }
    for (const Substitute& s : kSubstitutes) {
      if (is_installed(families, s.face) || !is_installed(families, s.substitute)) continue;
      if (family_of_face_.emplace(s.face, QString::fromLatin1(s.substitute)).second) names.emplace_back(s.face);
    }
    // A stable order, whatever order the database lists the families in.
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
      });
    });
    return names;
  }

  std::optional<std::vector<FontEntry>> fonts_of(const std::string& typeface) override {
    const QString family = family_for(typeface);
    std::vector<FontEntry> entries;
    for (const QString& style : QFontDatabase::styles(family)) {
      FontEntry entry;
      LogicalFont& d = entry.logical_font;
      d.face = typeface;
      d.weight = std::clamp(QFontDatabase::weight(family, style), 1, 1000);
      d.italic = QFontDatabase::italic(family, style) ? 1 : 0;
      d.pitch_and_family = QFontDatabase::isFixedPitch(family, style) ? kFixedPitch : kVariablePitch;
      const bool scalable = QFontDatabase::isScalable(family, style);
      if (scalable) {
        // Its width and metrics are those of the font made at the natural height; that font
        // is made when the entry is first used (measure).
        entry.font_type = kScalableFontType;
        d.height = kNaturalCellHeight;
        entry.measured = false;
        entries.push_back(std::move(entry));
        continue;
      }
      // A bitmap face: one raster entry per size it has.
      entry.font_type = kRasterFontType;
      for (const int point_size : QFontDatabase::pointSizes(family, style)) {
        QFont font = QFontDatabase::font(family, style, point_size);
        const QFontMetrics metrics(font);
        FontEntry sized = entry;
        sized.logical_font.height = metrics.height();
        sized.logical_font.width = metrics.averageCharWidth();
        sized.metrics = measure_font(font, sized.logical_font);
        entries.push_back(std::move(sized));
      }
    }
    return entries;
  }

  bool measure(FontEntry& entry) override {
    if (entry.measured) return true;
    const std::optional<MadeFont> made = make_font(entry.logical_font);
    if (!made) return false;
    entry.metrics = measure_font(made->font, entry.logical_font);
    entry.logical_font.width = entry.metrics.average_char_width;
    entry.measured = true;
    return true;
  }

  std::optional<MadeFont> make_font(const LogicalFont& description) override {
    QFont font(family_for(description.face));
    // Text pixels are exactly the drawing colour: no antialiasing.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight <= 0 ? 400 : description.weight, 1, 1000)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strike_out != 0);
    const int height = description.height > 0 ? std::min(description.height, kLargestPixelSize) : kNaturalCellHeight;
    fit_cell_height(font, height);
    if (description.width > 0) fit_average_width(font, std::min(description.width, kLargestPixelSize));
    const QFontMetrics metrics(font);
    if (metrics.height() <= 0) return std::nullopt;
    return MadeFont{font, metrics.ascent(), metrics.height()};
  }

 private:
  QString family_for(const std::string& face) {
    {
      std::lock_guard lock(mutex_);
      const auto found = family_of_face_.find(face);
      if (found != family_of_face_.end()) return found->second;
    }
    return QString::fromStdString(installed_face_for(face));
  }

  std::mutex mutex_;
  std::map<std::string, QString> family_of_face_;
};

}  // namespace

std::string installed_face_for(const std::string& face) {
  const QStringList families = installed_families();
  if (is_installed(families, face)) return face;
  for (const Substitute& s : kSubstitutes) {
    if (equal_ignoring_case(face, s.face) && is_installed(families, s.substitute)) return s.substitute;
  }
  return face;
}

std::shared_ptr<FontSource> system_font_source() { return std::make_shared<SystemFontSource>(); }

}  // namespace console
