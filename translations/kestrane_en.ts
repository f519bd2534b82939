<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AdjustmentFile</name>
    <message>
        <source>%1不是数值</source>
        <translation>%1 is not a number</translation>
    </message>
    <message>
        <source>%1超出范围</source>
        <translation>%1 is out of range</translation>
    </message>
    <message>
        <source>%1超出范围(%2–%3)</source>
        <translation>%1 is out of range (%2–%3)</translation>
    </message>
    <message>
        <source>%1不是数组</source>
        <translation>%1 is not an array</translation>
    </message>
    <message>
        <source>控制点数量超出范围(最多%1个)</source>
        <translation>Too many control points (at most %1)</translation>
    </message>
    <message>
        <source>控制点不是对象</source>
        <translation>A control point is not an object</translation>
    </message>
    <message>
        <source>hisiOutput第%1行第%2个数值超出范围</source>
        <translation>hisiOutput row %1, value %2 is out of range</translation>
    </message>
    <message>
        <source>文件超过%1 MiB</source>
        <translation>The file is larger than %1 MiB</translation>
    </message>
    <message>
        <source>JSON解析错误: %1</source>
        <translation>JSON error: %1</translation>
    </message>
    <message>
        <source>不是JSON对象</source>
        <translation>not a JSON object</translation>
    </message>
</context>
<context>
    <name>AiModelArea</name>
    <message>
        <source>AI人像追焦模型</source>
        <translation>AI portrait focus models</translation>
    </message>
    <message>
        <source>模型录入</source>
        <translation>Add model</translation>
    </message>
    <message>
        <source>模型启用</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>删除模型</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>模型启用中</source>
        <translation>Enabled</translation>
    </message>
</context>
<context>
    <name>BuiltInPage</name>
    <message>
        <source>调色盘</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>图像调节</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>对焦</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>BuiltInParamPages</name>
    <message>
        <source>曝光调整</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>颜色调节</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>噪声抑制</source>
        <translation>Noise reduction</translation>
    </message>
</context>
<context>
    <name>CameraConfigTransfer</name>
    <message>
        <source>配置文件 (*.config);;所有文件 (*.*)</source>
        <translation>Configuration files (*.config);;All files (*.*)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>导出相机配置</source>
        <translation>Export camera configuration</translation>
    </message>
    <message>
        <source>无法创建文件: %1</source>
        <translation>Cannot create the file: %1</translation>
    </message>
    <message>
        <source>写入文件失败: %1</source>
        <translation>Writing the file failed: %1</translation>
    </message>
    <message>
        <source>相机配置已成功导出到: %1</source>
        <translation>Camera configuration exported to: %1</translation>
    </message>
    <message>
        <source>导入相机配置</source>
        <translation>Import camera configuration</translation>
    </message>
    <message>
        <source>无法打开文件: %1</source>
        <translation>Cannot open the file: %1</translation>
    </message>
    <message>
        <source>文件大小不正确，可能已损坏</source>
        <translation>The file has the wrong size; it may be damaged</translation>
    </message>
    <message>
        <source>无效的文件格式</source>
        <translation>Not a camera configuration file</translation>
    </message>
    <message>
        <source>读取配置数据失败</source>
        <translation>Reading the configuration failed</translation>
    </message>
    <message>
        <source>相机配置已成功导入</source>
        <translation>Camera configuration imported</translation>
    </message>
</context>
<context>
    <name>CameraProfileRestorer</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>请先选择相机</source>
        <translation>Select a camera first</translation>
    </message>
    <message>
        <source>保存默认配置失败: %1</source>
        <translation>Saving the default configuration failed: %1</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>已保存为默认配置，连接时将自动恢复</source>
        <translation>Saved as default; it will be restored when the camera connects</translation>
    </message>
</context>
<context>
    <name>CameraWindow</name>
    <message>
        <source>摄像头预览</source>
        <translation>Camera preview</translation>
    </message>
    <message>
        <source>正在启动摄像头...</source>
        <translation>Starting the camera...</translation>
    </message>
    <message>
        <source>清除LUT</source>
        <translation>Clear LUT</translation>
    </message>
    <message>
        <source>选择 LUT 文件</source>
        <translation>Choose a LUT file</translation>
    </message>
    <message>
        <source>摄像头已关闭</source>
        <translation>Camera closed</translation>
    </message>
    <message>
        <source>相机未找到</source>
        <translation>Camera not found</translation>
    </message>
    <message>
        <source>请检查：

1. 确认相机USB线已接牢固
2. 确认相机指示灯已点亮
3. 确认相机未在其他软件拉流</source>
        <translation>Please check:

1. The camera&apos;s USB cable is plugged in firmly
2. The camera&apos;s indicator light is on
3. No other program is using the camera&apos;s video</translation>
    </message>
    <message>
        <source>LUT 文件 (*.cube);;所有文件 (*.*)</source>
        <translation>LUT files (*.cube);;All files (*.*)</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>3D LUT (大小 %1) 加载成功</source>
        <translation>3D LUT (size %1) loaded</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>LUT 加载失败，请确保文件是有效的 3D LUT (.cube 格式)</source>
        <translation>The LUT could not be loaded; make sure the file is a valid 3D LUT (.cube)</translation>
    </message>
</context>
<context>
    <name>CollapsibleGroup</name>
    <message>
        <source>没有自定义内容</source>
        <translation>No content</translation>
    </message>
</context>
<context>
    <name>CollectionTipDialog</name>
    <message>
        <source>AI人脸数据采集</source>
        <translation>AI face data collection</translation>
    </message>
    <message>
        <source>温馨提示</source>
        <translation>Before you start</translation>
    </message>
    <message>
        <source>该操作需要按照画面提示进行操作，时长约2分钟</source>
        <translation>Follow the prompts on the screen; this takes about 2 minutes</translation>
    </message>
    <message>
        <source>人脸信息仅本地设备存储处理，用于本产品AI跟焦功能运行，不会上传至云端，不会用于任何其他无关用途</source>
        <translation>Face data is stored and processed only on the camera, for its AI focus tracking. It is never uploaded or used for anything else.</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ColourPage</name>
    <message>
        <source>吸取颜色</source>
        <translation>Pick colour</translation>
    </message>
    <message>
        <source>取色中</source>
        <translation>Picking</translation>
    </message>
    <message>
        <source>饱和度</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>色度</source>
        <translation>Hue</translation>
    </message>
    <message>
        <source>调色盘</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>取色功能仅可在本软件视频预览窗口内拾取画面颜色
请打开视频预览后再使用取色器</source>
        <translation>Colours can only be picked from this tool&apos;s video preview.
Open the preview, then use the picker.</translation>
    </message>
    <message>
        <source>打开视频预览</source>
        <translation>Open preview</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>重置色度</source>
        <translation>Reset hue</translation>
    </message>
    <message>
        <source>确定要恢复色度默认设置吗?</source>
        <translation>Restore the default hue settings?</translation>
    </message>
    <message>
        <source>色度设置已恢复为默认值</source>
        <translation>Hue settings restored to defaults</translation>
    </message>
    <message>
        <source>重置饱和度</source>
        <translation>Reset saturation</translation>
    </message>
    <message>
        <source>确定要恢复饱和度默认设置吗?</source>
        <translation>Restore the default saturation settings?</translation>
    </message>
    <message>
        <source>饱和度设置已恢复为默认值</source>
        <translation>Saturation settings restored to defaults</translation>
    </message>
    <message>
        <source>连接失败</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>设备连接失败，请刷新设备后重新连接</source>
        <translation>The camera could not be reached; refresh the devices and connect again</translation>
    </message>
</context>
<context>
    <name>ControlPanelChrome</name>
    <message>
        <source>售后服务：请联系您的经销商</source>
        <translation>Support: please contact your dealer</translation>
    </message>
    <message>
        <source>设备列表</source>
        <translation>Devices</translation>
    </message>
    <message>
        <source>参数配置</source>
        <translation>Config</translation>
    </message>
    <message>
        <source>设备重置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>导入配置</source>
        <translation>Import configuration</translation>
    </message>
    <message>
        <source>导出配置</source>
        <translation>Export configuration</translation>
    </message>
    <message>
        <source>保存为默认配置</source>
        <translation>Save as default</translation>
    </message>
    <message>
        <source>连接时自动恢复</source>
        <translation>Restore on connect</translation>
    </message>
    <message>
        <source>未检测到相机，请检查相机是否正常连接</source>
        <translation>No camera found. Check that the camera is connected.</translation>
    </message>
</context>
<context>
    <name>DeviceList</name>
    <message>
        <source>所有设备</source>
        <translation>All devices</translation>
    </message>
    <message>
        <source>型号: %1
序列号: %2
生产日期: %3</source>
        <translation>Model: %1
Serial: %2
Build date: %3</translation>
    </message>
</context>
<context>
    <name>DeviceMaintenance</name>
    <message>
        <source>重启设备</source>
        <translation>Restart camera</translation>
    </message>
    <message>
        <source>重置图像</source>
        <translation>Reset image</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory reset</translation>
    </message>
    <message>
        <source>确定要重启设备吗?</source>
        <translation>Restart the camera?</translation>
    </message>
    <message>
        <source>设备重启失败</source>
        <translation>The camera could not be restarted</translation>
    </message>
    <message>
        <source>确定要恢复图像默认设置吗?
此操作将同时重置调色盘设置。</source>
        <translation>Restore the default image settings?
The palette settings are reset too.</translation>
    </message>
    <message>
        <source>确定要恢复出厂设置吗?
此操作将清除所有自定义设置!
同时会重置调色盘设置。</source>
        <translation>Restore the factory settings?
All your settings will be erased!
The palette settings are reset too.</translation>
    </message>
    <message>
        <source>恢复出厂设置失败</source>
        <translation>Factory reset failed</translation>
    </message>
    <message>
        <source>设备已恢复出厂设置并正在重启，请稍后重新连接设备</source>
        <translation>The camera was reset to factory settings and is restarting. Reconnect it in a moment.</translation>
    </message>
    <message>
        <source>修改设备名称</source>
        <translation>Rename camera</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>设备名称修改成功，设备正在重启</source>
        <translation>Camera renamed; it is restarting</translation>
    </message>
    <message>
        <source>设备名称过长，请输入较短的名称（最多%1字节，一个汉字占3字节）</source>
        <translation>The device name is too long. Please enter a shorter name (at most %1 bytes; a Chinese character takes 3 bytes).</translation>
    </message>
    <message>
        <source>设备名称修改失败，新名称仅保存在本软件中</source>
        <translation>The device name could not be changed on the camera; the new name is kept in this tool only.</translation>
    </message>
</context>
<context>
    <name>DeviceSelectionWindow</name>
    <message>
        <source>选择设备</source>
        <translation>Choose device</translation>
    </message>
    <message>
        <source>请选择您的设备进行连接</source>
        <translation>Choose your device to connect</translation>
    </message>
    <message>
        <source>%1系列</source>
        <translation>%1 series</translation>
    </message>
</context>
<context>
    <name>FaceCollectionOverlay</name>
    <message>
        <source>请人物移动到距离相机60cm正前方，请确保录入时画面只有一个人，人脸需正对摄像头，录入过程保持静止</source>
        <translation>Stand 60 cm in front of the camera, alone in the picture, facing the camera, and keep still during the capture</translation>
    </message>
    <message>
        <source>数据采集中</source>
        <translation>Capturing</translation>
    </message>
    <message>
        <source>第%1次数据采集%2，即将进行第%3组数据采集</source>
        <translation>Capture %1 %2, capture %3 is next</translation>
    </message>
    <message>
        <source>第%1次数据采集失败（相机无响应），即将进行第%2组数据采集</source>
        <translation>Capture %1 failed (no answer from the camera), capture %2 is next</translation>
    </message>
    <message>
        <source>数据采集成功，已成功匹配个人追焦数据</source>
        <translation>Capture complete: the personal focus data has been matched</translation>
    </message>
    <message>
        <source>请人物移动到距离相机60cm正前方</source>
        <translation>Stand 60 cm in front of the camera</translation>
    </message>
    <message>
        <source>采集已取消</source>
        <translation>Capture cancelled</translation>
    </message>
    <message>
        <source>AI人脸数据采集</source>
        <translation>AI face data collection</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>succeeded</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>采集失败</source>
        <translation>Capture failed</translation>
    </message>
    <message>
        <source>数据采集失败！

成功次数不足，需要至少3次成功</source>
        <translation>Capture failed!

At least 3 successful captures are needed</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>采集成功</source>
        <translation>Capture complete</translation>
    </message>
    <message>
        <source>数据采集成功！

请重启设备以加载人像模型</source>
        <translation>Capture complete!

Restart the camera to load the portrait model</translation>
    </message>
    <message>
        <source>重启设备</source>
        <translation>Restart</translation>
    </message>
</context>
<context>
    <name>FaceModelFlow</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>请先选择一个模型</source>
        <translation>Select a model first</translation>
    </message>
    <message>
        <source>无法确定该模型的ID，请刷新模型列表后重试</source>
        <translation>The model&apos;s ID is unknown; refresh the model list and try again</translation>
    </message>
    <message>
        <source>该模型尚未录入完成，无法启用</source>
        <translation>This model is not fully recorded and cannot be enabled</translation>
    </message>
    <message>
        <source>正在移除模型...</source>
        <translation>Removing the model...</translation>
    </message>
    <message>
        <source>删除模型成功</source>
        <translation>Model deleted</translation>
    </message>
    <message>
        <source>删除模型失败</source>
        <translation>The model could not be deleted</translation>
    </message>
    <message>
        <source>模型已存在，请勿重复添加</source>
        <translation>This model already exists</translation>
    </message>
    <message>
        <source>模型名称过长，请输入较短的名称</source>
        <translation>The name is too long; please enter a shorter one</translation>
    </message>
    <message>
        <source>连接失败</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>设备连接失败，请刷新设备后重新连接</source>
        <translation>The camera could not be reached; refresh the devices and connect again</translation>
    </message>
</context>
<context>
    <name>FirmwareBuildCheck</name>
    <message>
        <source>设备重启后未能读取版本信息，无法确认固件是否已更新</source>
        <translation>The camera&apos;s version could not be read after the restart; the update cannot be confirmed</translation>
    </message>
    <message>
        <source>固件已更新: 版本日期 %1 → %2</source>
        <translation>Firmware updated: build date %1 → %2</translation>
    </message>
    <message>
        <source>固件版本日期未改变 (%1)，升级可能未生效</source>
        <translation>The firmware build date did not change (%1); the upgrade may not have taken effect</translation>
    </message>
</context>
<context>
    <name>FirmwareUpgrade</name>
    <message>
        <source>固件校验</source>
        <translation>Firmware check</translation>
    </message>
    <message>
        <source>选择固件文件</source>
        <translation>Choose a firmware file</translation>
    </message>
    <message>
        <source>固件文件 (*.dat)</source>
        <translation>Firmware files (*.dat)</translation>
    </message>
    <message>
        <source>请求升级</source>
        <translation>Upgrade request</translation>
    </message>
    <message>
        <source>请求升级失败</source>
        <translation>The upgrade request failed</translation>
    </message>
    <message>
        <source>发送固件失败</source>
        <translation>Sending the firmware failed</translation>
    </message>
    <message>
        <source>获取状态失败</source>
        <translation>Reading the status failed</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>无法打开固件文件</source>
        <translation>The firmware file cannot be opened</translation>
    </message>
    <message>
        <source>固件文件为空</source>
        <translation>The firmware file is empty</translation>
    </message>
    <message>
        <source>固件文件过大</source>
        <translation>The firmware file is too large</translation>
    </message>
    <message>
        <source>正在准备升级...</source>
        <translation>Preparing the upgrade...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在请求升级...</source>
        <translation>Requesting the upgrade...</translation>
    </message>
    <message>
        <source>升级失败</source>
        <translation>Upgrade failed</translation>
    </message>
    <message>
        <source>正在发送固件数据...</source>
        <translation>Sending firmware data...</translation>
    </message>
    <message>
        <source>升级结果</source>
        <translation>Upgrade result</translation>
    </message>
    <message>
        <source>升级已取消</source>
        <translation>Upgrade cancelled</translation>
    </message>
    <message>
        <source>等待升级完成...</source>
        <translation>Waiting for the upgrade to finish...</translation>
    </message>
    <message>
        <source>获取升级状态失败</source>
        <translation>Reading the upgrade status failed</translation>
    </message>
    <message>
        <source>升级中... (%1%)</source>
        <translation>Upgrading... (%1%)</translation>
    </message>
    <message>
        <source>升级超时</source>
        <translation>The upgrade timed out</translation>
    </message>
    <message>
        <source>重启设备</source>
        <translation>Restart camera</translation>
    </message>
    <message>
        <source>设备重启失败</source>
        <translation>The camera could not be restarted</translation>
    </message>
    <message>
        <source>升级未完成</source>
        <translation>The upgrade did not finish</translation>
    </message>
    <message>
        <source>读取固件文件失败</source>
        <translation>Reading the firmware file failed</translation>
    </message>
    <message>
        <source>发送固件数据失败</source>
        <translation>Sending firmware data failed</translation>
    </message>
    <message>
        <source>已发送: %1 / %2 MB (%3%)</source>
        <translation>Sent: %1 / %2 MB (%3%)</translation>
    </message>
    <message>
        <source>升级完成</source>
        <translation>Upgrade complete</translation>
    </message>
    <message>
        <source>固件升级已完成，请点击重启按钮重启设备</source>
        <translation>The firmware upgrade is complete. Click Restart to restart the camera.</translation>
    </message>
    <message>
        <source>重启</source>
        <translation>Restart</translation>
    </message>
</context>
<context>
    <name>K310aPanel</name>
    <message>
        <source>图像调节</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>对焦</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>调色盘</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>视频调整</source>
        <translation>Video</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>重启</source>
        <translation>Restart</translation>
    </message>
</context>
<context>
    <name>ModelNameDialog</name>
    <message>
        <source>模型录入</source>
        <translation>Add model</translation>
    </message>
    <message>
        <source>请输入模型名称</source>
        <translation>Enter a model name</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>PaletteControlPanel</name>
    <message>
        <source>JSON文件 (*.json)</source>
        <translation>JSON files (*.json)</translation>
    </message>
    <message>
        <source>极坐标色彩调整</source>
        <translation>Polar colour adjustment</translation>
    </message>
    <message>
        <source>随机调整</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>重置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>生成3D LUT</source>
        <translation>Make 3D LUT</translation>
    </message>
    <message>
        <source>转换为17×324</source>
        <translation>To 17×324</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>加载</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>控制点已调整</source>
        <translation>Control point moved</translation>
    </message>
    <message>
        <source>调整已更新</source>
        <translation>Adjustment updated</translation>
    </message>
    <message>
        <source>已应用随机调整</source>
        <translation>Random adjustment applied</translation>
    </message>
    <message>
        <source>已重置所有调整</source>
        <translation>All adjustments reset</translation>
    </message>
    <message>
        <source>3D LUT已生成</source>
        <translation>3D LUT made</translation>
    </message>
    <message>
        <source>已转换为17×324格式</source>
        <translation>Converted to 17×324</translation>
    </message>
    <message>
        <source>保存调整表</source>
        <translation>Save adjustment table</translation>
    </message>
    <message>
        <source>调整表保存失败</source>
        <translation>Saving the adjustment table failed</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Save failed</translation>
    </message>
    <message>
        <source>无法保存调整表到: %1
%2</source>
        <translation>The adjustment table could not be saved to: %1
%2</translation>
    </message>
    <message>
        <source>调整表已保存</source>
        <translation>Adjustment table saved</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>调整表已保存到: </source>
        <translation>Adjustment table saved to: </translation>
    </message>
    <message>
        <source>加载调整表</source>
        <translation>Load adjustment table</translation>
    </message>
    <message>
        <source>调整表加载失败</source>
        <translation>Loading the adjustment table failed</translation>
    </message>
    <message>
        <source>加载失败</source>
        <translation>Load failed</translation>
    </message>
    <message>
        <source>无法加载调整表: %1
%2</source>
        <translation>The adjustment table could not be loaded: %1
%2</translation>
    </message>
    <message>
        <source>调整表已加载</source>
        <translation>Adjustment table loaded</translation>
    </message>
    <message>
        <source>加载成功</source>
        <translation>Loaded</translation>
    </message>
    <message>
        <source>调整表已从: %1 加载</source>
        <translation>Adjustment table loaded from: %1</translation>
    </message>
</context>
<context>
    <name>PalettePage</name>
    <message>
        <source>调色盘</source>
        <translation>Palette</translation>
    </message>
</context>
<context>
    <name>ParamRow</name>
    <message>
        <source>图像版本</source>
        <translation>Image style</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>专业</source>
        <translation>Professional</translation>
    </message>
    <message>
        <source>曝光</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>自动曝光</source>
        <translation>Auto exposure</translation>
    </message>
    <message>
        <source>手动曝光</source>
        <translation>Manual exposure</translation>
    </message>
    <message>
        <source>快门速度</source>
        <translation>Shutter speed</translation>
    </message>
    <message>
        <source>快门</source>
        <translation>Shutter</translation>
    </message>
    <message>
        <source>白平衡</source>
        <translation>White balance</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>色温</source>
        <translation>Colour temp.</translation>
    </message>
    <message>
        <source>红(R)</source>
        <translation>Red (R)</translation>
    </message>
    <message>
        <source>绿(G)</source>
        <translation>Green (G)</translation>
    </message>
    <message>
        <source>蓝(B)</source>
        <translation>Blue (B)</translation>
    </message>
    <message>
        <source>黄色</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>橙色</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>红润</source>
        <translation>Rosiness</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>黑色等级</source>
        <translation>Black level</translation>
    </message>
    <message>
        <source>高光</source>
        <translation>Highlights</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>对比度</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>饱和度</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>锐度</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>AF(前景聚焦)</source>
        <translation>AF (foreground)</translation>
    </message>
    <message>
        <source>MF(手动聚焦)</source>
        <translation>MF (manual focus)</translation>
    </message>
    <message>
        <source>人脸追焦</source>
        <translation>Face tracking</translation>
    </message>
    <message>
        <source>区域</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>默认</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>中</source>
        <translation>Mid</translation>
    </message>
    <message>
        <source>下</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>灵敏度</source>
        <translation>Sensitivity</translation>
    </message>
    <message>
        <source>低</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>高</source>
        <translation>High</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>2D降噪</source>
        <translation>2D NR</translation>
    </message>
    <message>
        <source>3D降噪</source>
        <translation>3D NR</translation>
    </message>
    <message>
        <source>跟踪</source>
        <translation>Tracking</translation>
    </message>
    <message>
        <source>手势</source>
        <translation>Gestures</translation>
    </message>
    <message>
        <source>水平翻转</source>
        <translation>Flip horizontally</translation>
    </message>
    <message>
        <source>垂直翻转</source>
        <translation>Flip vertically</translation>
    </message>
    <message>
        <source>水平镜像</source>
        <translation>Mirror horizontally</translation>
    </message>
    <message>
        <source>垂直镜像</source>
        <translation>Mirror vertically</translation>
    </message>
    <message>
        <source>系统休眠</source>
        <translation>Sleep</translation>
    </message>
    <message>
        <source>模式:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>快门优先</source>
        <translation>Shutter priority</translation>
    </message>
    <message>
        <source>光圈优先</source>
        <translation>Aperture priority</translation>
    </message>
    <message>
        <source>曝光补偿:</source>
        <translation>Exposure comp.:</translation>
    </message>
    <message>
        <source>曝光区域:</source>
        <translation>Metering area:</translation>
    </message>
    <message>
        <source>全局</source>
        <translation>Whole</translation>
    </message>
    <message>
        <source>中部</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>顶部</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>底部</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>增益:</source>
        <translation>Gain:</translation>
    </message>
    <message>
        <source>光圈:</source>
        <translation>Iris:</translation>
    </message>
    <message>
        <source>宽动态:</source>
        <translation>WDR:</translation>
    </message>
    <message>
        <source>宽动态水平:</source>
        <translation>WDR level:</translation>
    </message>
    <message>
        <source>背光:</source>
        <translation>Backlight:</translation>
    </message>
    <message>
        <source>快门速度:</source>
        <translation>Shutter:</translation>
    </message>
    <message>
        <source>白平衡模式:</source>
        <translation>White balance:</translation>
    </message>
    <message>
        <source>一次</source>
        <translation>One push</translation>
    </message>
    <message>
        <source>色温:</source>
        <translation>Colour temp.:</translation>
    </message>
    <message>
        <source>红微调:</source>
        <translation>Red fine:</translation>
    </message>
    <message>
        <source>绿微调:</source>
        <translation>Green fine:</translation>
    </message>
    <message>
        <source>蓝微调:</source>
        <translation>Blue fine:</translation>
    </message>
    <message>
        <source>红增益:</source>
        <translation>Red gain:</translation>
    </message>
    <message>
        <source>绿增益:</source>
        <translation>Green gain:</translation>
    </message>
    <message>
        <source>蓝增益:</source>
        <translation>Blue gain:</translation>
    </message>
    <message>
        <source>亮度:</source>
        <translation>Brightness:</translation>
    </message>
    <message>
        <source>对比度:</source>
        <translation>Contrast:</translation>
    </message>
    <message>
        <source>饱和度:</source>
        <translation>Saturation:</translation>
    </message>
    <message>
        <source>色度:</source>
        <translation>Hue:</translation>
    </message>
    <message>
        <source>锐度:</source>
        <translation>Sharpness:</translation>
    </message>
    <message>
        <source>2D降噪:</source>
        <translation>2D NR:</translation>
    </message>
    <message>
        <source>3D降噪:</source>
        <translation>3D NR:</translation>
    </message>
    <message>
        <source>透雾:</source>
        <translation>Defog:</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>透雾等级:</source>
        <translation>Defog level:</translation>
    </message>
    <message>
        <source>伽马矫正:</source>
        <translation>Gamma:</translation>
    </message>
    <message>
        <source>畸变矫正:</source>
        <translation>Lens correction:</translation>
    </message>
    <message>
        <source>数字变倍:</source>
        <translation>Digital zoom:</translation>
    </message>
    <message>
        <source>激光量程:</source>
        <translation>Laser range:</translation>
    </message>
    <message>
        <source>聚焦模式:</source>
        <translation>Focus mode:</translation>
    </message>
    <message>
        <source>人脸优先</source>
        <translation>Face priority</translation>
    </message>
    <message>
        <source>TOF通道:</source>
        <translation>TOF channel:</translation>
    </message>
    <message>
        <source>聚焦策略:</source>
        <translation>Focus style:</translation>
    </message>
    <message>
        <source>速度优先</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>平滑优先</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>聚焦区域:</source>
        <translation>Focus area:</translation>
    </message>
    <message>
        <source>聚焦近限:</source>
        <translation>Near limit:</translation>
    </message>
    <message>
        <source>灵敏度:</source>
        <translation>Sensitivity:</translation>
    </message>
    <message>
        <source>场景:</source>
        <translation>Scene:</translation>
    </message>
    <message>
        <source>服饰</source>
        <translation>Clothing</translation>
    </message>
    <message>
        <source>自定义1</source>
        <translation>Custom 1</translation>
    </message>
    <message>
        <source>自定义2</source>
        <translation>Custom 2</translation>
    </message>
    <message>
        <source>水平镜像:</source>
        <translation>Mirror horizontally:</translation>
    </message>
    <message>
        <source>垂直镜像:</source>
        <translation>Mirror vertically:</translation>
    </message>
    <message>
        <source>AF (前景优先)</source>
        <translation>AF (foreground)</translation>
    </message>
    <message>
        <source>MF(手动模式)</source>
        <translation>MF (manual)</translation>
    </message>
    <message>
        <source>人像追焦</source>
        <translation>Portrait tracking</translation>
    </message>
    <message>
        <source>微距</source>
        <translation>Macro</translation>
    </message>
    <message>
        <source>白皙</source>
        <translation>Fair</translation>
    </message>
    <message>
        <source>去红</source>
        <translation>Less red</translation>
    </message>
    <message>
        <source>AF（前景优先）</source>
        <translation>AF (foreground)</translation>
    </message>
    <message>
        <source>MF（手动模式）</source>
        <translation>MF (manual)</translation>
    </message>
    <message>
        <source>横屏</source>
        <translation>Landscape</translation>
    </message>
</context>
<context>
    <name>PresetShortcuts</name>
    <message>
        <source>快捷键: </source>
        <translation>Shortcut: </translation>
    </message>
    <message>
        <source>无效快捷键</source>
        <translation>Invalid shortcut</translation>
    </message>
    <message>
        <source>请设置有效的快捷键组合</source>
        <translation>Please set a valid key combination</translation>
    </message>
    <message>
        <source>快捷键冲突</source>
        <translation>Shortcut in use</translation>
    </message>
    <message>
        <source>该快捷键已被预置位 %1 使用</source>
        <translation>This shortcut is already used by preset %1</translation>
    </message>
    <message>
        <source>预置位%1</source>
        <translation>Preset %1</translation>
    </message>
    <message>
        <source>预置位命名</source>
        <translation>Name preset</translation>
    </message>
    <message>
        <source>预置位 %1 的名称</source>
        <translation>Name of preset %1</translation>
    </message>
</context>
<context>
    <name>PreviewController</name>
    <message>
        <source>连接失败</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>设备连接失败，请刷新设备后重新连接</source>
        <translation>The camera could not be reached; refresh the devices and connect again</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>请先选择一个设备</source>
        <translation>Select a camera first</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>设备%1未连接
请确保设备已正确连接</source>
        <translation>Camera %1 is not connected
Please check its connection</translation>
    </message>
    <message>
        <source>重启设备</source>
        <translation>Restart camera</translation>
    </message>
    <message>
        <source>设备重启失败</source>
        <translation>The camera could not be restarted</translation>
    </message>
</context>
<context>
    <name>PtzArea</name>
    <message>
        <source>预置位%1</source>
        <translation>Preset %1</translation>
    </message>
    <message>
        <source>变焦+</source>
        <translation>Zoom+</translation>
    </message>
    <message>
        <source>变焦-</source>
        <translation>Zoom-</translation>
    </message>
    <message>
        <source>聚焦+</source>
        <translation>Focus+</translation>
    </message>
    <message>
        <source>聚焦-</source>
        <translation>Focus-</translation>
    </message>
    <message>
        <source>云台速度</source>
        <translation>PTZ speed</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>调用</source>
        <translation>Recall</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>快捷键</source>
        <translation>Shortcut</translation>
    </message>
    <message>
        <source>预置位</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>命名</source>
        <translation>Name…</translation>
    </message>
    <message>
        <source>记住名称和快捷键</source>
        <translation>Remember names and shortcuts</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Retry</translation>
    </message>
</context>
<context>
    <name>ShortcutDialog</name>
    <message>
        <source>设置快捷键 - 预置位 %1</source>
        <translation>Shortcut for preset %1</translation>
    </message>
    <message>
        <source>请按下快捷键组合:</source>
        <translation>Press a key combination:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>StartupWindow</name>
    <message>
        <source>连接设备</source>
        <translation>Connect</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>打开面板</source>
        <translation>Open the panel</translation>
    </message>
    <message>
        <source>控制API</source>
        <translation>Control API</translation>
    </message>
    <message>
        <source>控制API无法启动：%1</source>
        <translation>The control API cannot start: %1</translation>
    </message>
    <message>
        <source>%1无法切换，详情见日志</source>
        <translation>%1 could not be switched; the log says why</translation>
    </message>
    <message>
        <source>关闭窗口后继续运行</source>
        <translation>Keep running when the window is closed</translation>
    </message>
    <message>
        <source>登录时启动</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>没有命名的预置位</source>
        <translation>No named presets</translation>
    </message>
</context>
<context>
    <name>UnselectedDeviceWindow</name>
    <message>
        <source>设备未连接</source>
        <translation>Camera not connected</translation>
    </message>
</context>
<context>
    <name>Widget</name>
    <message>
        <source>相机正在重启，请稍候…</source>
        <translation>The camera is restarting, please wait…</translation>
    </message>
</context>
<context>
    <name>widget_RV_K310A_LNQ</name>
    <message>
        <source>镜头选择</source>
        <translation>Lens</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>人像(58mm)</source>
        <translation>Portrait (58mm)</translation>
    </message>
</context>
<context>
    <name>widget_RV_K310A_WP_BEFA</name>
    <message>
        <source>重启</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>设备正在重启...</source>
        <translation>The camera is restarting...</translation>
    </message>
    <message>
        <source>重启命令发送失败</source>
        <translation>The restart command could not be sent</translation>
    </message>
</context>
<context>
    <name>widget_RV_T782_KB_BEFA</name>
    <message>
        <source>曝光调整</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>色彩调节</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>图像调节</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>聚焦设置</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
</context>
</TS>
