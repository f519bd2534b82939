#pragma once

// Installs the creator of the model panels into the control panel's factory; called
// once at start-up (and by tests that show model panels).
namespace ModelPanels {
void install();
}
