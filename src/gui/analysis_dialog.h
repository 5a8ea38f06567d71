#pragma once
// The settings dialog of an analysis of the Analysis menu: the map (by its heading), its
// parameters and initial state, the transient, and either the length of the orbit measured
// (Lyapunov exponents) or the parameter varied with its range, the number of parameter
// values, the points per value, the variable and the picture's size (bifurcation diagram).
// It starts from the settings it is given; choosing another map fills in that map's example
// values. OK hands the settings to `start`: when that refuses (a value out of range, say),
// the reason is shown in the dialog, which stays open; otherwise the dialog closes.

#include <QDialog>

#include <array>
#include <functional>
#include <string>

#include "gui/analysis_hooks.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace gui {

class AnalysisDialog final : public QDialog {
 public:
  enum class Kind { Bifurcation, Lyapunov };
  using Start = std::function<std::string(const AnalysisSettings&)>;

  AnalysisDialog(QWidget* parent, Kind kind, std::vector<AnalysisMap> maps, const AnalysisLimits& limits,
                 const AnalysisSettings& start_from, Start start);

  Kind kind() const { return kind_; }
  // The settings as the fields now hold them; false with the field's name in `problem` when
  // a number field does not hold a number.
  bool read_settings(AnalysisSettings& settings, QString& problem) const;
  // The problem shown (empty when none).
  QString problem_shown() const;

  // The fields, for tests.
  QComboBox* map_field() const { return map_; }
  QLineEdit* parameter_field(int index) const { return parameters_[static_cast<std::size_t>(index)]; }
  QLineEdit* initial_field(int index) const { return initial_[static_cast<std::size_t>(index)]; }
  QComboBox* varied_field() const { return varied_; }
  QLineEdit* from_field() const { return from_; }
  QLineEdit* to_field() const { return to_; }
  QSpinBox* steps_field() const { return steps_; }
  QSpinBox* length_field() const { return length_; }

  void accept() override;

 private:
  void build_fields(const AnalysisLimits& limits);
  void show_map(int map);
  void fill(const AnalysisSettings& settings);
  void fill_example(int map);
  void varied_changed();

  const Kind kind_;
  std::vector<AnalysisMap> maps_;
  Start start_;
  QFormLayout* form_ = nullptr;
  QComboBox* map_ = nullptr;
  std::array<QLineEdit*, 4> parameters_{};
  std::array<QLineEdit*, 2> initial_{};
  QSpinBox* transient_ = nullptr;
  QSpinBox* length_ = nullptr;
  QComboBox* varied_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QSpinBox* steps_ = nullptr;
  QSpinBox* points_ = nullptr;
  QSpinBox* variable_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QLabel* problem_ = nullptr;
};

}  // namespace gui
