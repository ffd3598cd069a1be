#pragma once

class QWidget;
class TestHost;

// The project tree and composition view of the host window; null while there is none.
QWidget *createProjectView(TestHost &host, QWidget *parent);
