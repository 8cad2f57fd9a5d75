// Draws window trees as one standalone HTML file a person can open in a browser:
// every visible window at its place (absolute positions, the pixels the dialog
// units of its template map to), with its text and state, styled like a plain
// desktop dialog. No scripts, no external files.
#pragma once

#include <string>
#include <vector>

#include "host/ui/user_windows.h"

// One picture in the file: the tree under `root` as it looks now, under a caption.
struct html_view {
    std::string caption;
    HWND root = nullptr;
    // Taken when the view is added, since the windows change between views.
    std::string drawing;
};

class html_renderer {
public:
    explicit html_renderer(std::string title) : m_title(std::move(title)) {}
    // Draws the tree under `root` as it looks now.
    void add_view(const user_windows& windows, HWND root, std::string caption);
    // The whole HTML document.
    std::string document() const;

private:
    std::string m_title;
    std::vector<html_view> m_views;
};

// Text with &, <, > and quotes replaced by HTML entities.
std::string html_escape(const std::string& text);
