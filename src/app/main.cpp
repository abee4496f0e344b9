// Kerfplanner: positions a workpiece for cutting finger joints by playing step signals.

#include "TabbedTemplate.h"
#include "application.h"
#include "kerf_resources.h"

int main(int argc, char** argv) {
    kerf::Application app(argc, argv);
    kerf::init_resources();
    Tjoint_form joint_form;
    joint_form.show();
    return app.exec();
}
