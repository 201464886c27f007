#include "app/app.h"

// Arguments and environment change nothing.
int main(int /*argc*/, char** /*argv*/) {
    return RunMain();
}
