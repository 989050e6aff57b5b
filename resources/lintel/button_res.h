// Resource ids of the buttons: context and hold menus, dialogs, messages.
#pragma once
