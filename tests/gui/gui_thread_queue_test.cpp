// Work queued to the GUI thread from other threads, and questions asked from a program thread.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "gui/gui_presentation.h"
#include "gui/gui_thread_queue.h"

namespace gui {
namespace {

bool run_events_until(const std::function<bool()>& condition, int milliseconds = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

TEST(GuiThreadQueue, RunsWorkFromManyThreadsOnTheGuiThreadInEachThreadsOrder) {
  GuiThreadQueue queue;
  constexpr int kThreads = 4;
  constexpr int kItems = 500;
  std::vector<std::vector<int>> seen(kThreads);  // GUI thread only
  std::atomic<int> wrong_thread{0};
  const std::thread::id gui = std::this_thread::get_id();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kItems; ++i) {
        queue.post([&, t, i] {
          if (std::this_thread::get_id() != gui) wrong_thread.fetch_add(1);
          seen[static_cast<std::size_t>(t)].push_back(i);
        });
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(run_events_until([&] {
    std::size_t total = 0;
    for (const auto& list : seen) total += list.size();
    return total == kThreads * kItems;
  }));
  EXPECT_EQ(wrong_thread.load(), 0);
  for (const auto& list : seen) {
    for (int i = 0; i < kItems; ++i) ASSERT_EQ(list[static_cast<std::size_t>(i)], i);
  }
}

TEST(GuiThreadQueue, WorkQueuedInsideANestedLoopStillRunsInOrder) {
  GuiThreadQueue queue;
  std::vector<int> order;
  queue.post([&] {
    order.push_back(1);
    queue.post([&] { order.push_back(3); });
    // A dialog's event loop runs queued work while the first item is still running.
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
    order.push_back(2);
  });
  queue.post([&] { order.push_back(4); });
  ASSERT_TRUE(run_events_until([&] { return order.size() == 4; }));
  // Item 3 was queued after item 4, so 4 runs before it; nothing runs twice.
  EXPECT_EQ(order, (std::vector<int>{1, 4, 3, 2}));
}

TEST(GuiThreadQueue, NothingRunsOnceClosed) {
  GuiThreadQueue queue;
  int runs = 0;
  queue.post([&] { ++runs; });
  queue.close();
  queue.post([&] { ++runs; });
  QCoreApplication::processEvents();
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(queue.closed());
}

TEST(GuiPresentation, AQuestionFromAProgramThreadIsAnsweredOnTheGuiThread) {
  GuiPresentation presentation;
  std::atomic<int> answer{-1};
  std::atomic<bool> asked_on_gui_thread{false};
  const std::thread::id gui = std::this_thread::get_id();
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    asked_on_gui_thread.store(std::this_thread::get_id() == gui);
    timer->stop();
    timer->deleteLater();
    box->button(QMessageBox::Yes)->click();
  });
  timer->start(5);
  std::thread program([&] {
    console::MessageBoxRequest request;
    request.caption = "File Open Error";
    request.text = "A File Must be Selected\r\rTerminate Program?";
    request.buttons = console::MessageBoxButtons::YesNo;
    request.default_answer = console::MessageBoxAnswer::No;
    answer.store(static_cast<int>(presentation.message_box(request)));
  });
  ASSERT_TRUE(run_events_until([&] { return answer.load() != -1; }));
  program.join();
  EXPECT_EQ(answer.load(), static_cast<int>(console::MessageBoxAnswer::Yes));
  EXPECT_TRUE(asked_on_gui_thread.load());
}

TEST(GuiPresentation, AQuestionAfterTheFrameIsGoneWaitsUntilThePresentationEnds) {
  auto presentation = std::make_unique<GuiPresentation>();
  presentation->frame_gone();
  GuiPresentation* asked = presentation.get();
  std::atomic<int> answer{-1};
  std::thread program(
      [asked, &answer] { answer.store(static_cast<int>(asked->message_box(console::MessageBoxRequest{}))); });
  run_events_until([] { return false; }, 200);
  EXPECT_EQ(answer.load(), -1);  // nothing was shown and the thread still waits
  // Ending the presentation releases the waiting thread with Failed.
  presentation.reset();
  program.join();
  EXPECT_EQ(answer.load(), static_cast<int>(console::MessageBoxAnswer::Failed));
}

}  // namespace
}  // namespace gui
