#pragma once

#include "app/AppOptions.h"
#include "listing/Environment.h"
#include "listing/WindowServices.h"
#include "listing/WindowState.h"

namespace travonix {

// What every command handler works on: the window's control state, the one
// options record, and the services of the window and the platform. The main
// window owns one; the command-line tool and the tests make their own.
struct Form {
    Form(WindowServices& windowServices, Environment& environment)
        : ui(windowServices), env(environment) {}

    WindowState state;
    AppOptions options;
    WindowServices& ui;
    Environment& env;
};

} // namespace travonix
