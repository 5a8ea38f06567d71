#include "gui/analysis_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace gui {
namespace {

const QString kInitialNames[] = {QStringLiteral("x0"), QStringLiteral("y0")};

QString number_text(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

QSpinBox* count_field(int low, int high, int value) {
  auto* field = new QSpinBox;
  field->setRange(low, high);
  field->setValue(std::clamp(value, low, high));
  return field;
}

// The number a field holds; false when it holds none.
bool read_number(const QLineEdit* field, double& value) {
  bool ok = false;
  value = field->text().trimmed().toDouble(&ok);
  return ok;
}

}  // namespace

AnalysisDialog::AnalysisDialog(QWidget* parent, Kind kind, std::vector<AnalysisMap> maps, const AnalysisLimits& limits,
                               const AnalysisSettings& start_from, Start start)
    : QDialog(parent), kind_(kind), maps_(std::move(maps)), start_(std::move(start)) {
  setWindowTitle(kind_ == Kind::Bifurcation ? QStringLiteral("Bifurcation Diagram")
                                            : QStringLiteral("Lyapunov Exponents"));
  build_fields(limits);
  fill(start_from);
}

void AnalysisDialog::build_fields(const AnalysisLimits& limits) {
  auto* layout = new QVBoxLayout(this);
  form_ = new QFormLayout;
  layout->addLayout(form_);

  map_ = new QComboBox;
  for (const AnalysisMap& map : maps_) map_->addItem(QString::fromStdString(map.heading));
  form_->addRow(QStringLiteral("Map:"), map_);
  for (QLineEdit*& field : parameters_) {
    field = new QLineEdit;
    // Named by show_map after the map's parameter.
    form_->addRow(new QLabel, field);
  }
  for (std::size_t i = 0; i < initial_.size(); ++i) {
    initial_[i] = new QLineEdit;
    form_->addRow(kInitialNames[i] + QStringLiteral(":"), initial_[i]);
  }
  if (kind_ == Kind::Bifurcation) {
    varied_ = new QComboBox;
    form_->addRow(QStringLiteral("Parameter varied:"), varied_);
    from_ = new QLineEdit;
    to_ = new QLineEdit;
    form_->addRow(QStringLiteral("From:"), from_);
    form_->addRow(QStringLiteral("To:"), to_);
  }
  transient_ = count_field(0, limits.longest_transient, 1000);
  form_->addRow(QStringLiteral("Transient (iterations discarded):"), transient_);
  if (kind_ == Kind::Lyapunov) {
    length_ = count_field(limits.shortest_length, limits.longest_length, limits.longest_length);
    form_->addRow(QStringLiteral("Iterations measured:"), length_);
  } else {
    steps_ = count_field(1, limits.most_steps, 800);
    points_ = count_field(1, limits.most_points, 200);
    variable_ = count_field(1, 2, 1);
    width_ = count_field(limits.smallest_width, limits.largest_side, 800);
    height_ = count_field(limits.smallest_height, limits.largest_side, 600);
    form_->addRow(QStringLiteral("Parameter values:"), steps_);
    form_->addRow(QStringLiteral("Points per value:"), points_);
    form_->addRow(QStringLiteral("Variable plotted:"), variable_);
    form_->addRow(QStringLiteral("Picture width:"), width_);
    form_->addRow(QStringLiteral("Picture height:"), height_);
  }

  problem_ = new QLabel;
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));
  problem_->hide();
  layout->addWidget(problem_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &AnalysisDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AnalysisDialog::reject);
  connect(map_, &QComboBox::activated, this, [this](int map) { fill_example(map); });
  if (varied_ != nullptr) connect(varied_, &QComboBox::currentIndexChanged, this, [this] { varied_changed(); });
}

// Shows the rows of the map's parameters and variables, named as the dialogue names them.
void AnalysisDialog::show_map(int map) {
  const AnalysisMap& entry = maps_[static_cast<std::size_t>(map)];
  const auto parameter_count = static_cast<int>(entry.parameter_names.size());
  for (int i = 0; i < static_cast<int>(parameters_.size()); ++i) {
    QLineEdit* field = parameters_[static_cast<std::size_t>(i)];
    const bool used = i < parameter_count;
    form_->setRowVisible(field, used);
    if (used) {
      if (auto* label = qobject_cast<QLabel*>(form_->labelForField(field))) {
        label->setText(QString::fromStdString(entry.parameter_names[static_cast<std::size_t>(i)]) +
                       QStringLiteral(":"));
      }
    }
  }
  form_->setRowVisible(initial_[1], entry.variables == 2);
  if (varied_ != nullptr) {
    const QSignalBlocker blocker(varied_);
    varied_->clear();
    for (const std::string& name : entry.parameter_names) varied_->addItem(QString::fromStdString(name));
  }
  if (variable_ != nullptr) variable_->setMaximum(entry.variables);
}

void AnalysisDialog::fill(const AnalysisSettings& settings) {
  const int map = std::clamp(settings.map, 0, static_cast<int>(maps_.size()) - 1);
  {
    const QSignalBlocker blocker(map_);
    map_->setCurrentIndex(map);
  }
  show_map(map);
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    parameters_[i]->setText(i < settings.parameters.size() ? number_text(settings.parameters[i]) : QString());
  }
  for (std::size_t i = 0; i < initial_.size(); ++i) {
    initial_[i]->setText(i < settings.initial.size() ? number_text(settings.initial[i]) : QString());
  }
  transient_->setValue(settings.transient);
  if (length_ != nullptr) length_->setValue(settings.length);
  if (varied_ != nullptr) {
    varied_->setCurrentIndex(std::clamp(settings.varied, 0, varied_->count() - 1));
    from_->setText(number_text(settings.from));
    to_->setText(number_text(settings.to));
    steps_->setValue(settings.steps);
    points_->setValue(settings.points);
    variable_->setValue(settings.variable);
    width_->setValue(settings.width);
    height_->setValue(settings.height);
  }
  varied_changed();
}

void AnalysisDialog::fill_example(int map) {
  if (map < 0 || map >= static_cast<int>(maps_.size())) return;
  // The counts stay as they are; a field that holds no number is replaced anyway.
  AnalysisSettings settings;
  QString ignored;
  read_settings(settings, ignored);
  const AnalysisMapExample& example = maps_[static_cast<std::size_t>(map)].example;
  settings.map = map;
  settings.parameters = example.parameters;
  settings.initial = example.initial;
  settings.varied = example.varied;
  settings.from = example.from;
  settings.to = example.to;
  settings.variable = 1;
  fill(settings);
}

// The varied parameter takes its values from the range: its own field is not used.
void AnalysisDialog::varied_changed() {
  if (varied_ == nullptr) return;
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    parameters_[i]->setEnabled(static_cast<int>(i) != varied_->currentIndex());
  }
}

bool AnalysisDialog::read_settings(AnalysisSettings& settings, QString& problem) const {
  settings.map = map_->currentIndex();
  const AnalysisMap& entry = maps_[static_cast<std::size_t>(settings.map)];
  settings.parameters.assign(entry.parameter_names.size(), 0.0);
  settings.initial.assign(static_cast<std::size_t>(entry.variables), 0.0);
  const int varied = varied_ != nullptr ? varied_->currentIndex() : -1;
  for (std::size_t i = 0; i < settings.parameters.size(); ++i) {
    if (static_cast<int>(i) == varied) continue;
    if (!read_number(parameters_[i], settings.parameters[i])) {
      problem = QString::fromStdString(entry.parameter_names[i]) + QStringLiteral(" must be a number");
      return false;
    }
  }
  for (std::size_t i = 0; i < settings.initial.size(); ++i) {
    if (!read_number(initial_[i], settings.initial[i])) {
      problem = kInitialNames[i] + QStringLiteral(" must be a number");
      return false;
    }
  }
  settings.transient = transient_->value();
  if (length_ != nullptr) settings.length = length_->value();
  if (varied_ != nullptr) {
    settings.varied = varied;
    if (!read_number(from_, settings.from) || !read_number(to_, settings.to)) {
      problem = QStringLiteral("From and To must be numbers");
      return false;
    }
    settings.steps = steps_->value();
    settings.points = points_->value();
    settings.variable = variable_->value();
    settings.width = width_->value();
    settings.height = height_->value();
  }
  return true;
}

QString AnalysisDialog::problem_shown() const { return problem_->isHidden() ? QString() : problem_->text(); }

void AnalysisDialog::accept() {
  AnalysisSettings settings;
  QString problem;
  if (read_settings(settings, problem) && start_) problem = QString::fromStdString(start_(settings));
  if (problem.isEmpty()) {
    problem_->hide();
    QDialog::accept();
    return;
  }
  problem_->setText(problem);
  problem_->show();
}

}  // namespace gui
