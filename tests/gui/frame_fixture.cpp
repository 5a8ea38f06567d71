#include "frame_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>

#include "gui/child_view.h"

namespace gui_test {

void FrameTest::SetUp() {
  ASSERT_TRUE(temporary_.isValid());
  settings_file_ = temporary_.filePath(QStringLiteral("mapexplorer.ini"));
  options_.display = console::DisplayInfo{1024, 768, 32, 1};
  options_.program_title = "mapexplorer";
  restart();
}

void FrameTest::restart() {
  drop_answerers();
  stop_program();
  frame_.reset();
  if (core_) core_->uninstall();
  core_.reset();
  presentation_.reset();
  closed_code_.reset();
  help_opened_.clear();
  beeps_.store(0);

  presentation_ = std::make_unique<gui::GuiPresentation>();
  core_ = std::make_unique<console::ConsoleCore>(*presentation_, options_);
  core_->set_unit_mapper([this](std::int32_t unit) {
    if (unit < 0 || unit >= 16) return -1;
    const int window = unit_windows_[unit].load();
    return window == 0 ? -1 : window;
  });
  if (before_start_) before_start_(*core_);

  gui::FrameOptions options = frame_options_;
  options.settings_file = settings_file_;
  options.beep = [this] { beeps_.fetch_add(1); };
  options.closing = [this] { presentation_->frame_gone(); };
  options.closed = [this](int code) { closed_code_ = code; };
  options.open_help = [this](const QString& file, std::optional<int> context) {
    help_opened_.emplace_back(file, context);
    return help_opens_;
  };
  frame_ = std::make_unique<gui::FrameWindow>(*core_, std::move(options));
  presentation_->set_frame(frame_.get());
  frame_->start();
  core_->install();
  settle(20);
}

void FrameTest::TearDown() {
  drop_answerers();
  stop_program();
  frame_.reset();
  if (core_) core_->uninstall();
  core_.reset();
  presentation_.reset();
}

void FrameTest::stop_program() {
  if (!program_.joinable()) return;
  // A program kept at its end box or waiting for a line: closing the frame releases the
  // first, Enter the second.
  if (frame_ && !frame_->is_closed()) frame_->close();
  QElapsedTimer timer;
  timer.start();
  while (!program_done_.load() && timer.elapsed() < 5000) {
    if (core_) {
      const int waiting = core_->status_view().input_window;
      if (waiting != 0) core_->type_character(waiting, '\r');
      if (core_->run_state() == console::RunState::Paused) core_->resume(0);
    }
    settle(10);
  }
  if (!program_done_.load()) {
    // A question asked after the frame closed waits for the presentation to go.
    presentation_->frame_gone();
    frame_.reset();
    presentation_.reset();
  }
  program_.join();
}

bool FrameTest::join_program(int milliseconds) {
  if (!program_.joinable()) return true;
  if (!wait_until([this] { return program_done_.load(); }, milliseconds)) return false;
  program_.join();
  return true;
}

ProgramGuard::~ProgramGuard() {
  if (test_ != nullptr) test_->stop_program();
}

ProgramGuard FrameTest::run_program(std::function<void()> routine) {
  EXPECT_FALSE(program_.joinable());
  if (program_.joinable()) stop_program();
  program_done_.store(false);
  program_ = std::thread([this, routine = std::move(routine)] {
    routine();
    program_done_.store(true);
  });
  return ProgramGuard(this);
}

bool FrameTest::wait_until(const std::function<bool()>& condition, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void FrameTest::settle(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool FrameTest::wait_for_read(const std::atomic<int>& opened, int milliseconds) {
  return wait_until(
      [&] {
        const int window = opened.load();
        if (window == 0 || core_->status_view().input_window != window) return false;
        const gui::ChildView* shown = frame_->view(window);
        return shown != nullptr && shown->isVisible();
      },
      milliseconds);
}

int FrameTest::open_window(const std::string& title, std::int32_t unit, bool take_focus) {
  const int window = core_->create_unit_window(title, take_focus);
  if (unit >= 0 && unit < 16) unit_windows_[unit].store(window);
  return window;
}

std::optional<std::string> FrameTest::read_line(int window, std::size_t capacity) {
  std::string buffer(capacity, '\0');
  const long n = core_->read_line(window, buffer.data(), capacity);
  if (n < 0) return std::nullopt;
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

gui::ChildView* FrameTest::view(int window) {
  gui::ChildView* found = nullptr;
  wait_until([&] {
    found = frame_ ? frame_->view(window) : nullptr;
    return found != nullptr;
  });
  return found;
}

void FrameTest::type(int window, const QString& text) {
  gui::ChildView* target = view(window);
  ASSERT_NE(target, nullptr);
  QTest::keyClicks(target, text);
}

void FrameTest::key(int window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  gui::ChildView* target = view(window);
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target, key, modifiers);
}

void FrameTest::key_with_text(int window, int key, const QString& text) {
  gui::ChildView* target = view(window);
  ASSERT_NE(target, nullptr);
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &release);
}

template <class T>
void FrameTest::on_next_modal(std::function<void(T*)> act) {
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
    auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
    if (widget == nullptr || !widget->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(widget);
  });
  answerers_.emplace_back(timer);
  timer->start();
}

// Answers that never found their dialog must not outlive the test's locals.
void FrameTest::drop_answerers() {
  for (const QPointer<QTimer>& timer : answerers_) delete timer.data();
  answerers_.clear();
}

void FrameTest::answer_next_box(QMessageBox::StandardButton answer, std::shared_ptr<SeenBox> seen,
                                std::function<void()> then) {
  on_next_modal<QMessageBox>([answer, seen, then](QMessageBox* box) {
    if (seen) {
      seen->caption = box->windowTitle();
      seen->text = box->text();
      seen->icon = box->icon();
      for (QAbstractButton* button : box->buttons()) seen->buttons.push_back(box->standardButton(button));
      if (box->defaultButton() != nullptr) seen->default_button = box->standardButton(box->defaultButton());
      for (const QLabel* label : box->findChildren<QLabel*>()) {
        if (label->text() != box->text()) continue;
        const QFontInfo shown(label->font());
        seen->text_font_family = shown.family();
        seen->text_fixed_pitch = shown.fixedPitch();
        seen->text_width = label->width();
        for (const QString& line : label->text().split('\n')) {
          seen->longest_text_line = std::max(seen->longest_text_line, label->fontMetrics().horizontalAdvance(line));
        }
      }
    }
    if (then) then();
    QAbstractButton* button = box->button(answer);
    if (button != nullptr) {
      button->click();
    } else {
      box->reject();
    }
  });
}

void FrameTest::answer_next_file_dialog(std::optional<QString> name, std::shared_ptr<QString> title_seen,
                                        std::function<void()> then) {
  on_next_modal<QFileDialog>([name, title_seen, then](QFileDialog* dialog) {
    if (title_seen) *title_seen = dialog->windowTitle();
    if (then) then();
    if (!name) {
      dialog->reject();
      return;
    }
    dialog->selectFile(*name);
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

std::string FrameTest::row_text(int window, int row) {
  std::string text;
  auto record = core_->find_window(window);
  if (!record) return text;
  std::lock_guard lock(record->draw_lock);
  if (const auto* entry = record->text_store.find(row)) text = entry->text;
  return text;
}

}  // namespace gui_test
