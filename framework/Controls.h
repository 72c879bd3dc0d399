// Every control of the framework, for the windows that are built of them.
#pragma once
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/GraphicControls.h"
#include "framework/ListView.h"
#include "framework/WinControl.h"
