#pragma once
// The gateway's hidden top-level window, on a thread of its own: its
// WM_CLOSE (from the installer or `--stop`), the end of the session, or
// Ctrl+C in a console it was started from stops the service. At the end of
// the session the window answers only once the service has stopped, since
// Windows ends the process as soon as it has answered.
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "service/program/service_program.h"

namespace service {

class StopWindow : public StopArrangement {
public:
    explicit StopWindow(HttpService& service);
    ~StopWindow() override;
    StopWindow(const StopWindow&) = delete;
    StopWindow& operator=(const StopWindow&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunWindow();
    // Stops the service; with `wait`, until it has stopped or the wait is up.
    void StopService(bool wait);

    HttpService& service_;
    std::mutex mutex_;
    std::condition_variable changed_;
    HWND window_ = nullptr;
    bool windowReady_ = false;
    bool serviceEnded_ = false;
    std::thread thread_;
};

}  // namespace service
