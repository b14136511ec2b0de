function s = dcb_station_line(name, domes, bias, rms)
% One station entry of a DCB block, laid out as CODE writes it
% ("   G  ZIMM 14001M004         -11.991     0.036").
  if isempty(domes)
    data = sprintf('   G  %-14s%16.3f%10.3f', name, bias, rms);
  else
    data = sprintf('   G  %-4s %-9s%16.3f%10.3f', name, domes, bias, rms);
  end
  s = sprintf('%-60s%s', data, 'STATION / BIAS / RMS');
end
