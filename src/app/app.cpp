#include "app/app.h"

#include "app/main_menu_bar.h"
#include "window/wdw_main.h"

const framework::ClassRecord& App::Record() {
    static const framework::ClassRecord record{
        "App", &framework::Application::Record(), [] { return std::make_shared<App>(); }, {}};
    return record;
}

const std::vector<framework::Module>& ProgramModules() {
    static const std::vector<framework::Module> modules{
        {"App", {&App::Record}, nullptr, nullptr},
        {"MainMenuBar",
         {&MainMenuBar::Record},
         &main_menu_bar_module::Initialize,
         &main_menu_bar_module::Finalize},
        {"wdwMain", {&wdwMain::Record, &wrapper_comPort1::Record}, nullptr, nullptr},
    };
    return modules;
}

int32_t RunMain() {
    framework::RuntimeInit();
    framework::RuntimePerformInitializers(ProgramModules());
    Main();
    framework::RuntimePerformFinalizers();
    return framework::RuntimeExit();
}

void Main() {
    try {
        {
            const framework::Delegate helper = framework::RuntimeCreateDelegate(
                &framework::CallFunctionWithExceptionHandling, "( Ptr, Ptr ) as Object");
            framework::RuntimeSetExceptionHelper(helper);
        }
        framework::RuntimeDeclareFrameworkVersion(2018.01);
        EarlyStartup();
        {
            const framework::Delegate late = framework::RuntimeCreateDelegate(&LateStartup, "(  )");
            framework::RunFrameworkInitialization(late);
        }
        framework::RuntimeRun();
    } catch (...) {
        framework::UnhandledException(std::current_exception());
    }
}

void EarlyStartup() {
    framework::Application::SetSupportsHiDPI(true);
    framework::RuntimeInitExternalClasses();
    framework::InitPluginEntrypoints();
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
}

void InitFileTypes() {
    // The tool opens no documents.
}

void NewAppInstance() {
    auto app = framework::RuntimeCheckCast<App>(
        framework::Deref(framework::RuntimeNewObject(App::Record()), "application object"));
    app->Constructor();
    app->SetMenuBar(MainMenuBar());
    framework::RuntimeRegisterAppObject(app);
}

void ApplicationAddMenuHandlers() {
    // The application object handles no menu item.
}

void LateStartup() {
    MakeDefaultView();
}

void MakeDefaultView() {
    (void)wdwMain();
}
