#include "simulated_face_models.h"

SimulatedFaceModels::SimulatedFaceModels() {
    addModel(1, QStringLiteral("Presenter"));
    addModel(2, QString());
}

int SimulatedFaceModels::indexOf(int id) const {
    for (int i = 0; i < m_models.size(); ++i)
        if (m_models[i].id == id)
            return i;
    return -1;
}

QList<int> SimulatedFaceModels::ids() const {
    QList<int> out;
    for (const Model &m : m_models)
        out << m.id;
    return out;
}

QStringList SimulatedFaceModels::names() const {
    QStringList out;
    for (const Model &m : m_models)
        out << m.name;
    return out;
}

bool SimulatedFaceModels::contains(int id) const {
    return indexOf(id) >= 0;
}

void SimulatedFaceModels::addModel(int id, const QString &name) {
    if (id < 1 || contains(id) || m_models.size() >= kMaxModels)
        return;
    m_models << Model{id, name};
}

bool SimulatedFaceModels::select(int id) {
    if (id != 0 && !contains(id))
        return false;
    m_enabledFaceId = id;
    return true;
}

bool SimulatedFaceModels::setFaceModeId(int id) {
    if (id != 0 && !contains(id))
        return false;
    m_faceModeId = id;
    return true;
}

bool SimulatedFaceModels::setPortraitModeId(int id) {
    if (id != 0 && !contains(id))
        return false;
    m_portraitModeId = id;
    return true;
}

bool SimulatedFaceModels::rename(int id, const QString &name) {
    const int i = indexOf(id);
    if (i < 0 || name.toUtf8().size() > kMaxNameBytes)
        return false;
    m_models[i].name = name;
    return true;
}

bool SimulatedFaceModels::remove(int id) {
    const int i = indexOf(id);
    if (i < 0)
        return false;
    m_models.removeAt(i);
    if (m_enabledFaceId == id)
        m_enabledFaceId = 0;
    if (m_faceModeId == id)
        m_faceModeId = 0;
    if (m_portraitModeId == id)
        m_portraitModeId = 0;
    return true;
}

void SimulatedFaceModels::clear() {
    m_models.clear();
    m_enabledFaceId = m_faceModeId = m_portraitModeId = 0;
    abortTraining();
}

void SimulatedFaceModels::abortTraining() {
    m_session = false;
    m_capturing = false;
    m_stepsRun = m_stepsOk = 0;
    m_status = QStringLiteral("idle");
}

void SimulatedFaceModels::setStepOutcomes(const QStringList &outcomes) {
    m_script.clear();
    for (const QString &outcome : outcomes)
        m_script << Step{outcome, -1};
}

void SimulatedFaceModels::settleCapture(qint64 now) {
    if (!m_capturing || now < m_captureEnds || m_step.outcome == QLatin1String("silent"))
        return;
    m_capturing = false;
    const bool ok = m_step.outcome != QLatin1String("error");
    m_status = ok ? QStringLiteral("finish") : QStringLiteral("error");
    ++m_stepsRun;
    if (ok)
        ++m_stepsOk;
    if (m_stepsRun == kSteps && m_stepsOk >= kSteps - 1 && !contains(m_trainingId))
        addModel(m_trainingId, QString());
}

bool SimulatedFaceModels::train(const QString &type, int id, qint64 now) {
    settleCapture(now);
    if (type == QLatin1String("select"))
        return select(id);
    if (type == QLatin1String("start")) {
        if (id < 1 || (!contains(id) && m_models.size() >= kMaxModels))
            return false;
        abortTraining();
        m_session = true;
        m_trainingId = id;
        m_status = QStringLiteral("start_done");
        return true;
    }
    if (type == QLatin1String("run")) {
        if (!m_session || id != m_trainingId || m_capturing || m_stepsRun >= kSteps)
            return false;
        m_step = m_script.isEmpty() ? Step() : m_script.takeFirst();
        m_capturing = true;
        m_captureEnds = now + (m_step.captureMs >= 0 ? m_step.captureMs : m_captureMs);
        m_status = QStringLiteral("run_done");
        return true;
    }
    if (type == QLatin1String("stop")) {
        abortTraining();
        m_status = QStringLiteral("stop_done");
        return true;
    }
    return false;
}

QString SimulatedFaceModels::trainingStatus(qint64 now) {
    settleCapture(now);
    return m_status;
}
