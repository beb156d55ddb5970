// Every callback member of the service records starts harmless; the host's
// real callbacks are put in over these.
#include "common/inert.h"
#include "services/service_records.h"

namespace host {

void makeInertRecords(ServiceRecords& r) {
    // LWItemInfo
    makeInert(r.itemInfo.v5.first);
    makeInert(r.itemInfo.v5.next);
    makeInert(r.itemInfo.v5.firstChild);
    makeInert(r.itemInfo.v5.nextChild);
    makeInert(r.itemInfo.v5.parent);
    makeInert(r.itemInfo.v5.target);
    makeInert(r.itemInfo.v5.goal);
    makeInert(r.itemInfo.v5.type);
    makeInert(r.itemInfo.v5.name);
    makeInert(r.itemInfo.v5.param);
    makeInert(r.itemInfo.v5.limits);
    makeInert(r.itemInfo.v5.getTag);
    makeInert(r.itemInfo.v5.setTag);
    makeInert(r.itemInfo.v5.chanGroup);
    makeInert(r.itemInfo.v5.server);
    makeInert(r.itemInfo.v5.serverFlags);
    makeInert(r.itemInfo.v5.controller);
    makeInert(r.itemInfo.v5.flags);
    makeInert(r.itemInfo.v5.lookAhead);
    makeInert(r.itemInfo.v5.goalStrength);
    makeInert(r.itemInfo.v5.stiffness);
    makeInert(r.itemInfo.v5.axisLocks);
    makeInert(r.itemInfo.v5.maxLookSteps);
    makeInert(r.itemInfo.v5.reliableDistance);
    makeInert(r.itemInfo.v5.goalObjective);
    makeInert(r.itemInfo.v5.ikfkBlending);
    makeInert(r.itemInfo.v5.ikInitialState);
    makeInert(r.itemInfo.v5.ikInitialStateFrame);
    makeInert(r.itemInfo.v5.ikSoft);
    makeInert(r.itemInfo.v5.pole);
    makeInert(r.itemInfo.v5.sameItem);
    makeInert(r.itemInfo.v5.sameItemBlend);
    makeInert(r.itemInfo.v5.sameItemBlendMethod);
    makeInert(r.itemInfo.v5.sameItemFlags);

    // LWObjectInfo
    makeInert(r.objectInfo.filename);
    makeInert(r.objectInfo.numPoints);
    makeInert(r.objectInfo.numPolygons);
    makeInert(r.objectInfo.shadowOpts);
    makeInert(r.objectInfo.dissolve);
    makeInert(r.objectInfo.meshInfo);
    makeInert(r.objectInfo.flags);
    makeInert(r.objectInfo.fog);
    makeInert(r.objectInfo.dispMap);
    makeInert(r.objectInfo.clipMap);
    makeInert(r.objectInfo.patchLevel);
    makeInert(r.objectInfo.metaballRes);
    makeInert(r.objectInfo.boneSource);
    makeInert(r.objectInfo.morphTarget);
    makeInert(r.objectInfo.morphAmount);
    makeInert(r.objectInfo.edgeOpts);
    makeInert(r.objectInfo.edgeColor);
    makeInert(r.objectInfo.subdivOrder);
    makeInert(r.objectInfo.polygonSize);
    makeInert(r.objectInfo.excluded);
    makeInert(r.objectInfo.matteColor);
    makeInert(r.objectInfo.thickness);
    makeInert(r.objectInfo.edgeZScale);
    makeInert(r.objectInfo.shrinkEdgesNominalDistance);
    makeInert(r.objectInfo.maxDissolveDistance);
    makeInert(r.objectInfo.bumpDistance);
    makeInert(r.objectInfo.getGroupIndex);
    makeInert(r.objectInfo.dispMapOrder);
    makeInert(r.objectInfo.bumpOrder);
    makeInert(r.objectInfo.getNodeEditor);
    makeInert(r.objectInfo.nodeOrder);
    makeInert(r.objectInfo.bounds);
    makeInert(r.objectInfo.shadowoffsetdistance);

    // LWObjectFuncs
    makeInert(r.objectFuncs.v6.numObjects);
    makeInert(r.objectFuncs.v6.filename);
    makeInert(r.objectFuncs.v6.maxLayers);
    makeInert(r.objectFuncs.v6.layerExists);
    makeInert(r.objectFuncs.v6.pivotPoint);
    makeInert(r.objectFuncs.v6.layerMesh);
    makeInert(r.objectFuncs.v6.numVMaps);
    makeInert(r.objectFuncs.v6.vmapName);
    makeInert(r.objectFuncs.v6.vmapDim);
    makeInert(r.objectFuncs.v6.vmapType);
    makeInert(r.objectFuncs.v6.layerName);
    makeInert(r.objectFuncs.v6.layerVis);
    makeInert(r.objectFuncs.v6.userName);
    makeInert(r.objectFuncs.v6.refName);

    // LWChannelInfo
    makeInert(r.channelInfo.nextGroup);
    makeInert(r.channelInfo.nextChannel);
    makeInert(r.channelInfo.groupName);
    makeInert(r.channelInfo.channelName);
    makeInert(r.channelInfo.groupParent);
    makeInert(r.channelInfo.channelParent);
    makeInert(r.channelInfo.channelType);
    makeInert(r.channelInfo.channelEvaluate);
    makeInert(r.channelInfo.channelEnvelope);
    makeInert(r.channelInfo.setChannelEvent);
    makeInert(r.channelInfo.server);
    makeInert(r.channelInfo.serverFlags);
    makeInert(r.channelInfo.serverInstance);
    makeInert(r.channelInfo.serverApply);
    makeInert(r.channelInfo.serverRemove);

    // LWEnvelopeFuncs
    makeInert(r.envelopeFuncs.create);
    makeInert(r.envelopeFuncs.destroy);
    makeInert(r.envelopeFuncs.createGroup);
    makeInert(r.envelopeFuncs.destroyGroup);
    makeInert(r.envelopeFuncs.copy);
    makeInert(r.envelopeFuncs.load);
    makeInert(r.envelopeFuncs.save);
    makeInert(r.envelopeFuncs.evaluate);
    makeInert(r.envelopeFuncs.edit);
    makeInert(r.envelopeFuncs.envAge);
    makeInert(r.envelopeFuncs.createKey);
    makeInert(r.envelopeFuncs.destroyKey);
    makeInert(r.envelopeFuncs.findKey);
    makeInert(r.envelopeFuncs.nextKey);
    makeInert(r.envelopeFuncs.prevKey);
    makeInert(r.envelopeFuncs.keySet);
    makeInert(r.envelopeFuncs.keyGet);
    makeInert(r.envelopeFuncs.setEnvEvent);
    makeInert(r.envelopeFuncs.egSet);
    makeInert(r.envelopeFuncs.egGet);

    // LWComRing
    makeInert(r.comRing.ringAttach);
    makeInert(r.comRing.ringDetach);
    makeInert(r.comRing.ringMessage);

    // LWXPanelFuncs
    makeInert(r.xpanelFuncs.create);
    makeInert(r.xpanelFuncs.destroy);
    makeInert(r.xpanelFuncs.describe);
    makeInert(r.xpanelFuncs.hint);
    makeInert(r.xpanelFuncs.getData);
    makeInert(r.xpanelFuncs.setData);
    makeInert(r.xpanelFuncs.formGet);
    makeInert(r.xpanelFuncs.formSet);
    makeInert(r.xpanelFuncs.viewInst);
    makeInert(r.xpanelFuncs.viewRefresh);
    makeInert(r.xpanelFuncs.post);
    makeInert(r.xpanelFuncs.open);

    // LWXPDrawFuncs
    makeInert(r.xpanelDrawFuncs.drawPixel);
    makeInert(r.xpanelDrawFuncs.drawRGBPixel);
    makeInert(r.xpanelDrawFuncs.drawLine);
    makeInert(r.xpanelDrawFuncs.drawBox);
    makeInert(r.xpanelDrawFuncs.drawRGBBox);
    makeInert(r.xpanelDrawFuncs.drawBorder);
    makeInert(r.xpanelDrawFuncs.textWidth);
    makeInert(r.xpanelDrawFuncs.textHeight);
    makeInert(r.xpanelDrawFuncs.drawText);

    // LWListInfo
    makeInert(r.listInfo.index);
    makeInert(r.listInfo.reorder);
    makeInert(r.listInfo.swap);
    makeInert(r.listInfo.splice);

    // LWMessageFuncs
    makeInert(r.messageFuncs.info);
    makeInert(r.messageFuncs.error);
    makeInert(r.messageFuncs.warning);
    makeInert(r.messageFuncs.okCancel);
    makeInert(r.messageFuncs.yesNo);
    makeInert(r.messageFuncs.yesNoCan);
    makeInert(r.messageFuncs.yesNoAll);

    // LWPanelFuncs
    makeInert(r.panelFuncs.create);
    makeInert(r.panelFuncs.destroy);
    makeInert(r.panelFuncs.open);
    makeInert(r.panelFuncs.handle);
    makeInert(r.panelFuncs.draw);
    makeInert(r.panelFuncs.close);
    makeInert(r.panelFuncs.get);
    makeInert(r.panelFuncs.set);
    makeInert(r.panelFuncs.addControl);
    makeInert(r.panelFuncs.nextControl);

    // DrawFuncs
    makeInert(r.panelDrawFuncs.drawPixel);
    makeInert(r.panelDrawFuncs.drawRGBPixel);
    makeInert(r.panelDrawFuncs.drawLine);
    makeInert(r.panelDrawFuncs.drawBox);
    makeInert(r.panelDrawFuncs.drawRGBBox);
    makeInert(r.panelDrawFuncs.drawBorder);
    makeInert(r.panelDrawFuncs.textWidth);
    makeInert(r.panelDrawFuncs.drawText);
    makeInert(r.panelDrawFuncs.dispMetrics);

    // LWRasterFuncs
    makeInert(r.rasterFuncs.drawPixel);
    makeInert(r.rasterFuncs.drawRGBPixel);
    makeInert(r.rasterFuncs.drawLine);
    makeInert(r.rasterFuncs.drawBox);
    makeInert(r.rasterFuncs.drawRGBBox);
    makeInert(r.rasterFuncs.eraseBox);
    makeInert(r.rasterFuncs.drawBorder);
    makeInert(r.rasterFuncs.drawText);
    makeInert(r.rasterFuncs.create);
    makeInert(r.rasterFuncs.destroy);
    makeInert(r.rasterFuncs.blitPanel);
    makeInert(r.rasterFuncs.blitRaster);

    // ContextMenuFuncs
    makeInert(r.contextMenuFuncs.cmenuCreate);
    makeInert(r.contextMenuFuncs.cmenuDeploy);
    makeInert(r.contextMenuFuncs.cmenuDestroy);

    // LWSceneInfo
    makeInert(r.sceneInfo.renderCamera);

    // LWViewportInfo
    makeInert(r.viewportInfo.type);
    makeInert(r.viewportInfo.flags);
    makeInert(r.viewportInfo.pos);
    makeInert(r.viewportInfo.xfrm);
    makeInert(r.viewportInfo.clip);
    makeInert(r.viewportInfo.rect);
    makeInert(r.viewportInfo.viewLevel);
    makeInert(r.viewportInfo.projection);
    makeInert(r.viewportInfo.modelview);
    makeInert(r.viewportInfo.project);
    makeInert(r.viewportInfo.unproject);
    makeInert(r.viewportInfo.pixelSize);
    makeInert(r.viewportInfo.handleSize);
    makeInert(r.viewportInfo.gridSize);
    makeInert(r.viewportInfo.viewItem);

    // LWInterfaceInfo
    makeInert(r.interfaceInfo.itemFlags);
    makeInert(r.interfaceInfo.schemaPos);
    makeInert(r.interfaceInfo.itemVis);
    makeInert(r.interfaceInfo.itemColor);
    makeInert(r.interfaceInfo.setItemColorIndex);
    makeInert(r.interfaceInfo.setItemColorCustom);
    makeInert(r.interfaceInfo.defaultItemTypeColor);
    makeInert(r.interfaceInfo.itemColorRgba);
    makeInert(r.interfaceInfo.itemIconScale);
    // the members of "LW Item Info 9" and "Scene Objects 9" past the older records
    makeInert(r.itemInfo.selected);
    makeInert(r.itemInfo.follow);
    makeInert(r.itemInfo.controllerTrans);
    makeInert(r.itemInfo.splineItem);
    makeInert(r.itemInfo.splineFit);
    makeInert(r.itemInfo.splineT);
    makeInert(r.itemInfo.rotationOrder);
    makeInert(r.itemInfo.relparam);
    makeInert(r.objectFuncs.focusObject);
    r.xpanelFuncs.drawf = &r.xpanelDrawFuncs;
    r.panelFuncs.drawFuncs = &r.panelDrawFuncs;
}

} // namespace host
